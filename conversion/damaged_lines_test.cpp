#include "conversion/damaged_lines.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "conversion/messages.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using testkit::Lines;
using testkit::PointLine;

// Where a line's position starts when it looks like a route point, however its columns and marks were
// damaged on the way (the damaged lines of the next table are rows of this one too); 0 for a line that
// does not look like one.
TEST(DamagedLinesTest, PositionColumnSeesDamagedPointsOnly) {
    struct Row {
        const char* name;
        TextView line;
        std::size_t column;
    };
    const Row rows[] = {
        {"in place", u"EAXA             0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD", 29},
        {"ordinal sign", u"EAXA             0      0   N55\u00BA05'03.00\" E012\u00BA39'22.00\"", 29},
        {"typographic marks",
         u"EAXA             0      0   S55\u00B005\u201903.00\u201D W012\u00B039\u201922.00\u201D", 29},
        {"no-break spaces", u"EAXA\u00A0\u00A00\u00A0N55\u00B005'03.00\"\u00A0E012\u00B039'22.00\"", 9},
        {"the shortest", u"N55\u00B005'03.00E012\u00B039'22.00", 1},
        {"one short", u"N55\u00B005'03.00E012\u00B039'22.0", 0},
        {"ends in a mark", u"a latitude: N55\u00B005'03.00\" and a longitude: E012\u00B0", 0},
        {"a longitude before it", u"E012\u00B039'22.00\" N55\u00B005'03.00\" E012\u00B039'22.00\"", 16},
        {"the header", u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks", 0},
        {"empty", u"", 0},
        {"remark", u"   remark: cross the airway at or above FL240, 12.5 NM before SPY", 0},
        {"totals", u"TOTAL DISTANCE 1234 NM   TIME 03:25.00", 0},
        {"route string", u"EKCH DCT GOLAS UL996 SPY DCT EHAM", 0},
        {"a latitude alone", u"N55\u00B005'03.00\" only a latitude, and nothing after it", 0},
        {"longitude first", u"E012\u00B039'22.00\" N55\u00B005'03.00\"", 0},
        {"small hemispheres", u"n55\u00B005'03.00\" e012\u00B039'22.00\"", 0},
        {"one degree digit", u"N5\u00B005'03.00\" E012\u00B039'22.00\"", 0},
        {"two longitude degree digits", u"N55\u00B005'03.00\" E12\u00B039'22.00\"", 0},
        {"a comma for the point", u"N55\u00B005'03,00\" E012\u00B039'22,00\"", 0},
        {"no degree signs", u"N5505'03.00\" E01239'22.00\" xxxxxxxxxxxxxxxx", 0},
        {"ends before the seconds' point", u"N55\u00B005'03.00\" E012\u00B039'22", 0},
        {"a mark of 6 characters", u"N55&degr;05'03.00\" E012&degr;39'22.00\"", 0},
        {"digits in a mark", u"N55&#176;05'03.00\" E012&#176;39'22.00\"", 0},
        {"one hundredths digit", u"N55\u00B005'03.0\" E012\u00B039'22.00\" xxxxxxxxxxxxxxxx", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PositionColumn(row.line).value_or(0), row.column) << row.name;
    }
}

// A note's form must close each brace it opens and name only what the note fills in; the build refuses
// any other, so the check itself is fed what it must refuse.
TEST(DamagedLinesTest, FormsWithAStrayBraceOrAnUnknownNameAreRefused) {
    struct Row {
        const char* name;
        TextView form;
        bool wellFormed;
    };
    const Row rows[] = {
        {"no braces", u"Done!", true},
        {"the first and the last name", u"{line} and {what}", true},
        {"two names in a row", u"{count}{column}", true},
        {"a brace left open", u"line {line", false},
        {"a stray closing brace", u"line} 2", false},
        {"one closing brace too many", u"{line}}", false},
        {"an unknown name", u"{lines}", false},
        {"no name", u"{}", false},
        {"a name that is one of two", u"{line count}", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Form::IsWellFormed(row.form), row.wellFormed) << row.name;
    }
}

constexpr TextView kEaxb =
    u"EAXB           110     25   N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD";

Text Eaxb(std::size_t column, TextView replacement) {
    Text line(kEaxb);
    return line.replace(column - 1, 1, replacement);
}

// Each line that looks like a route point but is none: the column the note names, the cause, and the
// note's second line, which tells the user why.
TEST(DamagedLinesTest, ExamineLineNamesTheCause) {
    struct Row {
        const char* name;
        Text line;
        std::size_t column;
        Damage damage;
        TextView id;         // the line's first word, where the identifier stands
        TextView why = {};   // the note's second line; empty where another row has the same words
        TextView next = {};  // the line after it
    };
    const TextView header = u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks";
    const TextView kjfk =
        u"KJFK             0      0   N40\u00B038'23.74\" W073\u00B046'43.29\" JOHN F KENNEDY";
    const Row rows[] = {
        {"spaces collapsed", u"EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 13,
         Damage::SpacesLost, u"EAXB",
         u"Its position starts in column 13, but the header has it at column 29: the spaces that line the "
         u"columns up were lost on the way."},
        {"no-break spaces between the columns",
         u"EAXB\u00A0\u00A0110\u00A025\u00A0N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 14,
         Damage::SpacesLost, u"EAXB"},
        {"a tab after the position only", u"EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\"\tSOUTH", 13,
         Damage::SpacesLost, u"EAXB"},
        {"indented by spaces", u"        " + Text(kEaxb), 37, Damage::Indented, u"EAXB",
         u"Its position starts in column 37, but the header has it at column 29: the line is indented, and "
         u"it must start in column 1."},
        {"indented by a space, and its spaces collapsed",
         u" EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 14, Damage::SpacesLost,
         u"EAXB"},
        {"indented by a tab", u"\t" + Text(kEaxb), 30, Damage::Indented, u"EAXB"},
        {"spreadsheet cells", u"EAXB\t110\t25\tN54\u00B050'00.30\"\tE014\u00B010'45.60\"\tSOUTH-EAST FIELD",
         13, Damage::TabsForSpaces, u"EAXB",
         u"Its position starts in column 13, but the header has it at column 29: tabs stand where the header "
         u"has spaces, as when cells are copied from a spreadsheet."},
        {"a tab before the line, its spaces collapsed",
         u"\tEAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 14,
         Damage::TabsForSpaces, u"EAXB"},
        {"one tab, before the position", u"EAXB 110 25\tN54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH", 13,
         Damage::TabsForSpaces, u"EAXB"},
        {"more spaces, and a question mark", Eaxb(32, u"?").insert(4, u"  "), 31, Damage::SpacesAdded,
         u"EAXB"},
        {"one space too many", Text(kEaxb).insert(4, u" "), 30, Damage::SpacesAdded, u"EAXB",
         u"Its position starts in column 30, but the header has it at column 29: it has more spaces than the "
         u"header."},
        // A word before the first column is taken for the identifier, the line for one that has more spaces.
        {"a word before, A", u"A " + Text(kjfk), 31, Damage::SpacesAdded, u"A"},
        {"a word before, Z", u"Z " + Text(kjfk), 31, Damage::SpacesAdded, u"Z"},
        {"a word before, a", u"a " + Text(kjfk), 31, Damage::SpacesAdded, u"a"},
        {"a word before, z", u"z " + Text(kjfk), 31, Damage::SpacesAdded, u"z"},
        {"a number for the identifier, two spaces too many", Text(PointLine(u"1")).insert(1, u"  "), 31,
         Damage::SpacesAdded, u"1"},
        {"a remark that starts with a number, a position in it",
         u"12 NM WEST OF THE FIELD, AT    N55\u00B005'03.00\" E012\u00B039'22.00\"", 32, Damage::SpacesAdded,
         u"12"},
        {"quoted e-mail", u"> " + Text(kjfk), 31, Damage::QuotedMail, u"KJFK",
         u"It starts with \"> \" before its first column, as a quoted e-mail does; the listing must start in "
         u"column 1."},
        {"quoted, no space", u">" + Text(kjfk), 30, Damage::QuotedMail, u"KJFK"},
        // Two damages: what stands before the first column is told first, the user's first mend.
        {"quoted, and question marks", u"> " + Eaxb(32, u"?"), 31, Damage::QuotedMail, u"EAXB"},
        {"quoted, and its spaces collapsed",
         u">> EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 16, Damage::QuotedMail,
         u"EAXB",
         u"It starts with \">> \" before its first column, as a quoted e-mail does; the listing must start "
         u"in column 1."},
        {"quoted once, and its spaces collapsed",
         u"> EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 15, Damage::QuotedMail,
         u"EAXB"},
        {"quoted, and lines joined", u"> " + Text(kjfk) + u" " + Text(kEaxb), 31, Damage::QuotedMail,
         u"KJFK"},
        {"zero-width space before", u"\u200B" + Text(kjfk), 30, Damage::SomethingBefore, u"KJFK",
         u"It starts with a zero-width space before its first column; the listing must start in column 1."},
        {"byte-order mark before", u"\uFEFF" + Text(kjfk), 30, Damage::SomethingBefore, u"KJFK",
         u"It starts with a byte-order mark before its first column; the listing must start in column 1."},
        {"no-break space before", u"\u00A0" + Text(kjfk), 30, Damage::SomethingBefore, u"KJFK",
         u"It starts with a no-break space before its first column; the listing must start in column 1."},
        {"zero-width non-joiner before", u"\u200C" + Text(kjfk), 30, Damage::SomethingBefore, u"KJFK",
         u"It starts with an invisible character before its first column; the listing must start in column "
         u"1."},
        {"line number", u" 2 " + Text(kjfk), 32, Damage::LineNumbers, u"KJFK",
         u"It starts with \" 2 \" before its first column, as when line numbers are copied with it; the "
         u"listing must start in column 1."},
        {"line number, and question marks", u" 2 " + Eaxb(32, u"?"), 32, Damage::LineNumbers, u"EAXB"},
        {"line number and a colon", u"12: " + Text(kjfk), 33, Damage::LineNumbers, u"KJFK"},
        {"a full stop before", u". " + Text(kjfk), 31, Damage::SomethingBefore, u"KJFK"},
        {"line number and a tab", u"12.\t" + Text(kjfk), 33, Damage::LineNumbers, u"KJFK",
         u"It starts with \"12.\" and a tab before its first column, as when line numbers are copied with "
         u"it; the listing must start in column 1."},
        {"a zero-width space, then a table border", u"\u200B| " + Text(kjfk), 32, Damage::SomethingBefore,
         u"KJFK",
         u"It starts with a zero-width space and \"| \" before its first column; the listing must start in "
         u"column 1."},
        {"table border", u"| " + Text(kjfk), 31, Damage::SomethingBefore, u"KJFK",
         u"It starts with \"| \" before its first column; the listing must start in column 1."},
        {"entities for spaces", u"EAXB&nbsp;&nbsp;110&nbsp;25&nbsp;N54\u00B050'00.30\" E014\u00B010'45.60\"",
         34, Damage::WiderBefore, u"EAXB",
         u"Its position starts in column 34, but the header has it at column 29: what stands before it is "
         u"wider than the columns of the header."},
        {"dashes for the spaces, and a space too many",
         u"EAXB-----------110-----25--- N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD", 30,
         Damage::WiderBefore, u"EAXB-----------110-----25---"},
        {"lines joined", Text(header) + u" " + Text(kjfk) + u" " + Text(kEaxb), 99, Damage::LineBreaksLost,
         u"ID",
         u"It holds 2 positions, one for each route point: the line breaks between them were lost on the "
         u"way."},
        {"question marks", Eaxb(32, u"?"), 32, Damage::DegreeSignChanged, u"EAXB",
         u"Column 32 should hold the degree sign \u00B0, but it holds \"?\". The degree sign was changed on "
         u"the way; Dravik needs the sign \u00B0 itself."},
        {"entity", Eaxb(32, u"&deg;"), 32, Damage::DegreeSignChanged, u"EAXB"},
        {"read as Latin-1", Eaxb(47, u"\u00C2\u00B0"), 47, Damage::DegreeSignChanged, u"EAXB",
         u"Column 47 should hold the degree sign \u00B0, but it holds \"\u00C2\u00B0\". The degree sign was "
         u"changed on the way; Dravik needs the sign \u00B0 itself."},
        {"typographic apostrophe", Eaxb(35, u"\u2019"), 35, Damage::ApostropheChanged, u"EAXB",
         u"Column 35 should hold an apostrophe ', but it holds \"\u2019\". The apostrophe was changed on the "
         u"way, as a word processor does; Dravik needs a plain '."},
        {"no-break space", Eaxb(15, u"\u00A0"), 15, Damage::SpacesChanged, u"EAXB",
         u"Column 15 should hold a space, but it holds a no-break space. The spaces were changed on the way, "
         u"as a web page may do; Dravik needs plain spaces."},
        {"narrow no-break space", Eaxb(42, u"\u202F"), 42, Damage::SpacesChanged, u"EAXB",
         u"Column 42 should hold a space, but it holds a narrow no-break space. The spaces were changed on "
         u"the way, as a web page may do; Dravik needs plain spaces."},
        {"hair space", Eaxb(57, u"\u200A"), 57, Damage::SpacesChanged, u"EAXB"},
        {"en quad", Eaxb(57, u"\u2000"), 57, Damage::SpacesChanged, u"EAXB",
         u"Column 57 should hold a space, but it holds a space of another kind. The spaces were changed on "
         u"the way, as a web page may do; Dravik needs plain spaces."},
        {"a tab in place of one space", Eaxb(42, u"\t"), 42, Damage::ColumnBroken, u"EAXB",
         u"Column 42 should hold a space, but it holds a tab."},
        {"zero-width space", Eaxb(57, u"\u200B"), 57, Damage::ColumnBroken, u"EAXB",
         u"Column 57 should hold a space, but it holds a zero-width space."},
        {"a letter for a digit", Eaxb(25, u"S"), 25, Damage::ColumnBroken, u"EAXB",
         u"Column 25 should hold a digit, but it holds \"S\"."},
        {"a comma for the seconds' point, a longitude after it", Eaxb(53, u",") + u" E014\u00B010'45.60\"",
         53, Damage::ColumnBroken, u"EAXB", u"Column 53 should hold a point, but it holds \",\"."},
        {"wrapped before the name", Text(kEaxb.substr(0, 56)), 56, Damage::EndsEarly, u"EAXB",
         u"The line ends early, at column 56, as when a program wraps long lines and moves the rest to the "
         u"next line.",
         u"SOUTH-EAST FIELD"},
        {"its last space trimmed, the last line", Text(kEaxb.substr(0, 56)), 56, Damage::SpaceTrimmed,
         u"EAXB",
         u"The line ends at column 56: the space that a route point without a name needs in column 57 was "
         u"removed, as editors and forums remove the spaces at the ends of lines."},
        {"its last space trimmed, a point after it",
         Text(kEaxb.substr(0, 56)),
         56,
         Damage::SpaceTrimmed,
         u"EAXB",
         {},
         kjfk},
        {"wrapped before the seconds mark", Text(kEaxb.substr(0, 55)), 55, Damage::EndsEarly, u"EAXB"},
    };
    for (const Row& row : rows) {
        const std::optional<DamagedLine> found = ExamineLine(row.line, row.next);
        ASSERT_TRUE(found) << row.name;
        EXPECT_EQ(found->column, row.column) << row.name;
        EXPECT_EQ(found->damage, row.damage) << row.name;
        EXPECT_EQ(found->id, row.id) << row.name;
        if (row.why.empty()) {
            continue;
        }
        ListingDamage damage;
        damage.lines = {7};
        damage.first = found;
        damage.first->number = 7;
        EXPECT_EQ(DamageNote(damage, nullptr),
                  u"Line 7 looks like a route point, but it does not keep to the columns of the header.\n" +
                      Text(row.why))
            << row.name;
    }
}

// The whole listing, read once: which lines it names, and the note after "Done!" (with the route the
// selection made) or after "Not enough or invalid points!".
TEST(DamagedLinesTest, DamageNoteTellsWhatTheSelectionDid) {
    const TextView ekch = u"EKCH             0      0   N55\u00B037'04.00\" E012\u00B039'22.00\" KASTRUP";
    const TextView simeg = u"SIMEG          102     40   N55\u00B010'30.00\" E012\u00B055'00.00\" SIMEG";
    const TextView golas = u"GOLAS          110     25   N54\u00B058'59.40\" E013\u00B040'12.30\" GOLAS";
    const TextView wsss = u"WSSS           110     25   N01\u00B021'33.00\" E103\u00B059'21.00\" CHANGI";
    // A damaged copy of the destination at another position is a point the plan lacks.
    const TextView wsssCopyLeftOut =
        u"The plan ends at WSSS, because line 4 (WSSS) does not keep to the columns.\n"
        u"Line 4 looks like a route point, but it does not keep to the columns of the header, so it was left "
        u"out of the plan.\n"
        u"Its position starts in column 13, but the header has it at column 29: the spaces that line the "
        u"columns up were lost on the way.";
    struct Row {
        const char* name;
        Text listing;
        TextView note;
    };
    const Row rows[] = {
        {"good listing", Lines({ekch, simeg, wsss}), u""},
        {"departure wrapped by an e-mail client",
         Lines({u"Route:", ekch.substr(0, 56), u"KASTRUP", simeg, golas, wsss}),
         u"The plan starts at SIMEG, because line 2 (EKCH) does not keep to the columns.\n"
         u"Line 2 looks like a route point, but it does not keep to the columns of the header, so it was "
         u"left out of the plan.\n"
         u"The line ends early, at column 56, as when a program wraps long lines and moves the rest to the "
         u"next line."},
        {"destination wrapped, its name the last line",
         Lines({ekch, simeg, golas, wsss.substr(0, 56)}) + u"CHANGI",
         u"The plan ends at GOLAS, because line 4 (WSSS) does not keep to the columns.\n"
         u"Line 4 looks like a route point, but it does not keep to the columns of the header, so it was "
         u"left out of the plan.\n"
         u"The line ends early, at column 56, as when a program wraps long lines and moves the rest to the "
         u"next line."},
        {"destination damaged, and a waypoint",
         Lines({ekch, Text(u"> ") + Text(simeg), golas, Text(wsss).replace(31, 1, u"?")}),
         u"The plan ends at GOLAS, because line 4 (WSSS) does not keep to the columns.\n"
         u"2 lines look like route points, but they do not keep to the columns of the header, so they were "
         u"left out of the plan; the first is line 2.\n"
         u"It starts with \"> \" before its first column, as a quoted e-mail does; the listing must start in "
         u"column 1."},
        {"both ends damaged", Lines({Text(u" ") + Text(ekch), simeg, golas, Text(u" ") + Text(wsss)}),
         u"The plan starts at SIMEG, because line 1 (EKCH) does not keep to the columns.\n"
         u"The plan ends at GOLAS, because line 4 (WSSS) does not keep to the columns.\n"
         u"2 lines look like route points, but they do not keep to the columns of the header, so they were "
         u"left out of the plan; the first is line 1.\n"
         u"Its position starts in column 30, but the header has it at column 29: the line is indented, and "
         u"it must start in column 1."},
        {"a damaged departure whose identifier is a hidden character alone",
         Lines({Text(u" ") + Text(ekch).replace(0, 4, u"\u200B   "), simeg, wsss}),
         u"The plan starts at SIMEG, because line 1 (a zero-width space) does not keep to the columns.\n"
         u"Line 1 looks like a route point, but it does not keep to the columns of the header, so it was "
         u"left out of the plan.\n"
         u"Its position starts in column 30, but the header has it at column 29: the line is indented, and "
         u"it must start in column 1."},
        {"no-break space ends the destination", Lines({ekch, simeg, Text(wsss).replace(4, 1, u"\u00A0")}),
         u"The identifier \"WSSS\" on line 3 ends with a no-break space; the plan and its file name keep "
         u"it."},
        {"a waypoint's identifier starts with a zero-width space",
         Lines({ekch, Text(u"\u200B") + Text(simeg).erase(5, 1), wsss}),
         u"The identifier \"SIMEG\" on line 2 starts with a zero-width space; the plan keeps it."},
        {"the file name's outweighs a waypoint's",
         Lines({ekch, Text(simeg).replace(2, 1, u"\t"), Text(wsss).replace(4, 1, u"\u202F")}),
         u"The identifier \"WSSS\" on line 3 ends with a narrow no-break space; the plan and its file name "
         u"keep it."},
        {"a waypoint's, inside", Lines({ekch, Text(simeg).replace(2, 1, u"\t"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds a tab; the plan keeps it."},
        {"a word joiner after a character beyond U+FFFF",
         Lines({ekch, Text(simeg).replace(1, 3, u"\U0001D11E\u2060"), wsss}),
         u"The identifier \"S\U0001D11EG\" on line 2 holds an invisible character; the plan keeps it."},
        {"a word joiner", Lines({ekch, Text(simeg).replace(2, 1, u"\u2060"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds an invisible character; the plan keeps it."},
        {"a right-to-left mark", Lines({ekch, Text(simeg).replace(2, 1, u"\u200F"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds an invisible character; the plan keeps it."},
        {"a soft hyphen", Lines({ekch, Text(simeg).replace(2, 1, u"\u00AD"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds a soft hyphen; the plan keeps it."},
        {"the first control past ASCII, DEL", Lines({ekch, Text(simeg).replace(2, 1, u"\u007F"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds an invisible character; the plan keeps it."},
        {"the last C1 control", Lines({ekch, Text(simeg).replace(2, 1, u"\u009F"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds an invisible character; the plan keeps it."},
        {"a lone low surrogate", Lines({ekch, Text(simeg).replace(2, 1, u"\xDC00"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds an invisible character; the plan keeps it."},
        {"a medium mathematical space", Lines({ekch, Text(simeg).replace(2, 1, u"\u205F"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds a space of another kind; the plan keeps it."},
        {"an ideographic space", Lines({ekch, Text(simeg).replace(2, 1, u"\u3000"), wsss}),
         u"The identifier \"SIEG\" on line 2 holds a space of another kind; the plan keeps it."},
        {"the departure's before the destination's",
         Lines({Text(ekch).replace(4, 1, u"\u00A0"), simeg, Text(wsss).replace(4, 1, u"\t")}),
         u"The identifier \"EKCH\" on line 1 ends with a no-break space; the plan and its file name keep "
         u"it."},
        // A route point whose line holds the next one, its line break lost: counted with the others, and
        // the destination moved where the last was swallowed.
        {"a waypoint's line holds the next one", Lines({ekch, Text(simeg) + u" " + Text(golas), wsss}),
         u"Line 2 holds more than one route point, so not all of them are in the plan.\n"
         u"It also holds the position of GOLAS: the line break between them was lost on the way."},
        // After a frequency, a track and a distance, the word before them is the identifier, digits or not.
        {"a waypoint's line holds a beacon's, with its frequency, track and distance",
         Lines({ekch,
                Text(simeg) + u" 4501    114.50  67     12   N55\u00B020'30.00\" E012\u00B045'00.00\" VOR",
                wsss}),
         u"Line 2 holds more than one route point, so not all of them are in the plan.\n"
         u"It also holds the position of 4501: the line break between them was lost on the way."},
        {"a waypoint's columns before its position hold another position",
         Lines({ekch, u"N55\u00B020'30.00\"  E012\u00B045'00.00" + Text(simeg).substr(28), wsss}),
         u"Line 2 holds more than one route point, so not all of them are in the plan.\n"
         u"It holds 2 positions, one for each route point: the line breaks between them were lost on the "
         u"way."},
        {"a nameless waypoint's line holds a point without an identifier",
         Lines({ekch,
                Text(simeg).substr(0, 57) +
                    u"               110     25   N54\u00B058'59.40\" E013\u00B040'12.30\"",
                wsss}),
         u"Line 2 holds more than one route point, so not all of them are in the plan.\n"
         u"It holds 2 positions, one for each route point: the line breaks between them were lost on the "
         u"way."},
        {"the destination's line holds the departure's position again, as a listing pasted twice does",
         Lines({ekch, simeg, Text(wsss) + u" " + Text(ekch)}),
         u"Line 3 holds more than one route point, so not all of them are in the plan.\n"
         u"It also holds the position of EKCH: the line break between them was lost on the way."},
        {"the destination joined onto the line before, its spaces collapsed",
         Lines({ekch, simeg, Text(golas) + u" WSSS 110 25 N01\u00B021'33.00\" E103\u00B059'21.00\" CHANGI"}),
         u"The plan ends at GOLAS, because line 3 also holds WSSS: the line break between them was lost.\n"
         u"Line 3 holds more than one route point, so not all of them are in the plan.\n"
         u"It also holds the position of WSSS: the line break between them was lost on the way."},
        {"a joined line and a damaged one",
         Lines({ekch, Text(simeg) + u" " + Text(golas), Text(u"> ") + Text(golas), wsss}),
         u"2 lines hold route points that are not in the plan; the first is line 2.\n"
         u"It also holds the position of GOLAS: the line break between them was lost on the way."},
        // A damaged line that repeats a point of the plan moves neither end.
        {"pasted twice, the second copy's spaces collapsed",
         Lines({ekch, simeg, wsss, u"EKCH 0 0 N55\u00B037'04.00\" E012\u00B039'22.00\" KASTRUP",
                u"WSSS 110 25 N01\u00B021'33.00\" E103\u00B059'21.00\" CHANGI"}),
         u"2 lines look like route points, but they do not keep to the columns of the header, so they were "
         u"left out of the plan; the first is line 4.\n"
         u"Its position starts in column 10, but the header has it at column 29: the spaces that line the "
         u"columns up were lost on the way."},
        {"pasted twice, the copy south of the equator",
         Lines({ekch, simeg, wsss, u"WSSS 110 25 S01\u00B021'33.00\" E103\u00B059'21.00\" CHANGI"}),
         wsssCopyLeftOut},
        {"pasted twice, the copy west of Greenwich",
         Lines({ekch, simeg, wsss, u"WSSS 110 25 N01\u00B021'33.00\" W103\u00B059'21.00\" CHANGI"}),
         wsssCopyLeftOut},
        {"pasted twice, the copy a hundredth south and 21 degrees east, which a key too narrow would mix up",
         Lines({ekch, simeg, wsss, u"WSSS 110 25 N01\u00B021'32.99\" E124\u00B059'21.00\" CHANGI"}),
         wsssCopyLeftOut},
        {"pasted twice, the copy a hundredth away",
         Lines({ekch, simeg, wsss, u"WSSS 110 25 N01\u00B021'33.00\" E103\u00B059'21.01\" CHANGI"}),
         wsssCopyLeftOut},
        {"a damaged destination's identifier ends in a no-break space",
         Lines({ekch, simeg, golas, u"WSSS\u00A0 110 25 N01\u00B021'33.00\" E103\u00B059'21.00\" CHANGI"}),
         u"The plan ends at GOLAS, because line 4 (WSSS, which ends with a no-break space) does not keep to "
         u"the columns.\n"
         u"Line 4 looks like a route point, but it does not keep to the columns of the header, so it was "
         u"left out of the plan.\n"
         u"Its position starts in column 14, but the header has it at column 29: the spaces that line the "
         u"columns up were lost on the way."},
        {"a character beyond U+FFFF is no hidden one",
         Lines({ekch, simeg, Text(wsss).replace(3, 2, u"\U0001D11E")}), u""},
    };
    for (const Row& row : rows) {
        const std::vector<TextView> lines = SplitLines(row.listing);
        std::vector<TextView> points = SelectPoints(lines);
        const ListingDamage damage = FindDamage(lines, points);
        ASSERT_GE(points.size(), 2u) << row.name;
        const Route route = MakeRoute(std::move(points));
        EXPECT_EQ(DamageNote(damage, &route), row.note) << row.name;
    }

    // Refused, no plan: nothing is said of a departure or an identifier, and a line's number counts every
    // line break, empty lines too.
    const Text refused = Lines({u"", ekch.substr(0, 56), Text(simeg).replace(4, 1, u"\u00A0"), u""}) +
                         Text(wsss).insert(0, u"\t");
    const std::vector<TextView> lines = SplitLines(refused);
    const ListingDamage damage = FindDamage(lines, SelectPoints(lines));
    EXPECT_EQ(DamageNote(damage, nullptr),
              u"2 lines look like route points, but they do not keep to the columns of the header; the first "
              u"is line 2.\nThe line ends at column 56: the space that a route point without a name needs in "
              u"column 57 was removed, as editors and forums remove the spaces at the ends of lines.");
    EXPECT_EQ(damage.lines, (std::vector<std::size_t>{2, 5}));
    ASSERT_TRUE(damage.afterLastPoint);
    EXPECT_EQ(damage.afterLastPoint->id, u"WSSS");

    // Every route point on one line, the first keeping to the columns: the selection takes one point.
    const Text joined = Text(ekch) + u" " + Text(simeg) + u" " + Text(wsss);
    const std::vector<TextView> one = SplitLines(joined);
    EXPECT_EQ(DamageNote(FindDamage(one, SelectPoints(one)), nullptr),
              u"Line 1 holds more than one route point.\nIt holds 3 positions, one for each route point: the "
              u"line breaks between them were lost on the way.");
}

}  // namespace
}  // namespace dravik
