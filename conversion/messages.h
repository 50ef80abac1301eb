// Every text the convert command shows the user, in one place. In the notes, the words in braces are
// filled in: {line}, {count} and {column} with numbers, the others with the texts named beside them.
#pragma once

#include "text/text.h"

namespace dravik {

inline constexpr TextView kProgramName = u"Dravik";
inline constexpr TextView kDoneMessage = u"Done!";
inline constexpr TextView kNotEnoughPointsMessage = u"Not enough or invalid points!";
inline constexpr TextView kTooManyPointsMessage = u"Too many points! At most 4000 are allowed.";
inline constexpr TextView kSaveFailedMessage = u"Could not save the flight plan!";
// Reasons of a failed save that are the program's own, not the system's.
inline constexpr TextView kUnusableIdentifier =
    u"An identifier contains a character that cannot be used in a file name.";
inline constexpr TextView kNoCodePage = u"The system cannot convert the plan's text to its 8-bit code page.";
inline constexpr TextView kOutOfMemoryMessage = u"The listing is too large for the memory available.";
inline constexpr TextView kConversionFailedMessage = u"Could not convert the listing!";
// When the program's own folder cannot be found; the system's reason follows.
inline constexpr TextView kNoProgramFolderMessage = u"Could not find the folder that holds Dravik!";
// After "Done!" and the plan's path, when the program runs from the temporary folder (from inside a zip).
inline constexpr TextView kTemporaryFolderNote =
    u"This folder is temporary and Windows may delete it with the plan: unpack the zip into a folder of "
    u"your own and start Dravik from there.";

// A note's words, with each {name} in braces filled in as the note is made: {line}, {count} and
// {column} with numbers, the others with the texts named beside the form. Checked as it is compiled: a
// brace left open or a name the note never fills stops the build, so no malformed form can ship.
class Form {
public:
    // NOLINTNEXTLINE(google-explicit-constructor): a form is written as the literal it is
    consteval Form(const char16_t* text) : text_(text) {
        if (!IsWellFormed(text_)) {
            throw "a form holds an unmatched brace or a name the note does not fill";
        }
    }
    [[nodiscard]] constexpr TextView text() const { return text_; }

    // Public for the tests, which feed it what the build must refuse.
    static constexpr bool IsWellFormed(TextView text) {
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text[at] == u'}') {
                return false;
            }
            if (text[at] != u'{') {
                continue;
            }
            const std::size_t close = text.find(u'}', at);
            if (close == TextView::npos) {
                return false;
            }
            const TextView name = text.substr(at + 1, close - at - 1);
            bool known = false;
            for (const TextView candidate : kNames) {
                known = known || candidate == name;
            }
            if (!known) {
                return false;
            }
            at = close;
        }
        return true;
    }

private:
    static constexpr TextView kNames[] = {u"line",     u"count", u"column", u"id",    u"lineId", u"text",
                                          u"expected", u"held",  u"why",    u"where", u"what"};

    TextView text_;
};

// The note after "Not enough or invalid points!" or "Done!" when lines hold route points that the plan
// does not: how many and which is the first, then why that one.
// Every such line looks like a route point but breaks the columns:
inline constexpr Form kOneDamagedLine =
    u"Line {line} looks like a route point, but it does not keep to the columns of the header.";
inline constexpr Form kManyDamagedLines =
    u"{count} lines look like route points, but they do not keep to the columns of the header; the "
    u"first is line {line}.";
inline constexpr Form kOneLineLeftOut =
    u"Line {line} looks like a route point, but it does not keep to the columns of the header, so it "
    u"was left out of the plan.";
inline constexpr Form kManyLinesLeftOut =
    u"{count} lines look like route points, but they do not keep to the columns of the header, so "
    u"they were left out of the plan; the first is line {line}.";
// Some of them are route points that hold more route points after their own:
inline constexpr Form kOneLineHoldsMore = u"Line {line} holds more than one route point.";
inline constexpr Form kManyLinesHoldMore =
    u"{count} lines hold route points that Dravik could not read; the first is line {line}.";
inline constexpr Form kOneLineHoldsMoreLeftOut =
    u"Line {line} holds more than one route point, so not all of them are in the plan.";
inline constexpr Form kManyLinesHoldMoreLeftOut =
    u"{count} lines hold route points that are not in the plan; the first is line {line}.";

// Above that, first, when the plan's departure or destination is not the one the listing meant: {id} is
// the plan's, {lineId} the line's own, or in the last form the one its line holds after the plan's.
inline constexpr Form kPlanStartsElsewhere =
    u"The plan starts at {id}, because line {line} ({lineId}) does not keep to the columns.";
inline constexpr Form kPlanEndsElsewhere =
    u"The plan ends at {id}, because line {line} ({lineId}) does not keep to the columns.";
inline constexpr Form kPlanEndsBeforeJoined =
    u"The plan ends at {id}, because line {line} also holds {lineId}: the line break between them was "
    u"lost.";

// The lines were joined: {count} positions on one line, or a route point and then {lineId}'s.
inline constexpr Form kLineBreaksLost =
    u"It holds {count} positions, one for each route point: the line breaks between them were lost on "
    u"the way.";
inline constexpr Form kAlsoHolds =
    u"It also holds the position of {lineId}: the line break between them was lost on the way.";

// Something stands before the first column: {text}, quoted as it stands or named where no one sees it.
inline constexpr Form kQuotedMail =
    u"It starts with {text} before its first column, as a quoted e-mail does; the listing must start in "
    u"column 1.";
inline constexpr Form kLineNumbers =
    u"It starts with {text} before its first column, as when line numbers are copied with it; the "
    u"listing must start in column 1.";
inline constexpr Form kSomethingBefore =
    u"It starts with {text} before its first column; the listing must start in column 1.";

// The columns have moved as a whole: {why} is one of the five after it.
inline constexpr Form kPositionMoved =
    u"Its position starts in column {column}, but the header has it at column 29: {why}";
inline constexpr TextView kIndented = u"the line is indented, and it must start in column 1.";
inline constexpr TextView kTabsForSpaces =
    u"tabs stand where the header has spaces, as when cells are copied from a spreadsheet.";
inline constexpr TextView kSpacesLost = u"the spaces that line the columns up were lost on the way.";
inline constexpr TextView kSpacesAdded = u"it has more spaces than the header.";
inline constexpr TextView kWiderBefore = u"what stands before it is wider than the columns of the header.";

// The line ends before the name's column, its position in place: wrapped, or its last space removed.
inline constexpr Form kEndsEarly =
    u"The line ends early, at column {column}, as when a program wraps long lines and moves the rest to "
    u"the next line.";
inline constexpr TextView kSpaceTrimmed =
    u"The line ends at column 56: the space that a route point without a name needs in column 57 was "
    u"removed, as editors and forums remove the spaces at the ends of lines.";

// The position is in place and one column breaks the layout: {expected} is what belongs there, {held}
// what the line holds, and {why}, possibly empty, one of the three after it.
inline constexpr Form kColumnBroken = u"Column {column} should hold {expected}, but it holds {held}.{why}";
inline constexpr TextView kDegreeSignChanged =
    u" The degree sign was changed on the way; Dravik needs the sign \u00B0 itself.";
inline constexpr TextView kApostropheChanged =
    u" The apostrophe was changed on the way, as a word processor does; Dravik needs a plain '.";
inline constexpr TextView kSpacesChanged =
    u" The spaces were changed on the way, as a web page may do; Dravik needs plain spaces.";

// {expected}
inline constexpr TextView kExpectsDigit = u"a digit";
inline constexpr TextView kExpectsSpace = u"a space";
inline constexpr TextView kExpectsDegreeSign = u"the degree sign \u00B0";
inline constexpr TextView kExpectsApostrophe = u"an apostrophe '";
inline constexpr TextView kExpectsPoint = u"a point";
// What a line holds, in {held} and {text}: visible characters in quotes as they stand, each character
// no one sees by its name, joined by " and ": "\"12.\" and a tab".
inline constexpr Form kQuoted = u"\"{text}\"";
inline constexpr TextView kAnd = u" and ";
inline constexpr TextView kTab = u"a tab";
inline constexpr TextView kNoBreakSpace = u"a no-break space";
inline constexpr TextView kNarrowNoBreakSpace = u"a narrow no-break space";
inline constexpr TextView kOtherSpace = u"a space of another kind";
inline constexpr TextView kZeroWidthSpace = u"a zero-width space";
inline constexpr TextView kByteOrderMark = u"a byte-order mark";
inline constexpr TextView kSoftHyphen = u"a soft hyphen";
inline constexpr TextView kInvisibleCharacter = u"an invisible character";
// An identifier the note names ({id}, {lineId}) with a character no one sees: the rest as it stands and
// the character by its name. {where} is one of the three at the end.
inline constexpr Form kIdWithHidden = u"{id}, which {where} {what}";

// Last, after "Done!": a route point's identifier holds a character no one sees, which the plan keeps as
// the listing has it. {where} is one of the three after them, {what} the character's name.
inline constexpr Form kHiddenInFileName =
    u"The identifier \"{id}\" on line {line} {where} {what}; the plan and its file name keep it.";
inline constexpr Form kHiddenInPlan =
    u"The identifier \"{id}\" on line {line} {where} {what}; the plan keeps it.";
inline constexpr TextView kStartsWith = u"starts with";
inline constexpr TextView kEndsWith = u"ends with";
inline constexpr TextView kHolds = u"holds";

}  // namespace dravik
