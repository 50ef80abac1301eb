// Lines that hold route points the plan does not: a listing damaged on its way to the user (spaces
// collapsed, indented, quoted, tabs for spaces, a changed degree sign, lines joined, wrapped or trimmed)
// and why. Nothing here changes which lines are route points; it only finds words for what the
// selection did.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "conversion/route_listing.h"
#include "text/text.h"

namespace dravik {

// The column where the line's first position starts, written the listing's way even with the marks
// between its digits damaged: a latitude (N or S, 2 digits, a mark, 2 digits, a mark, 2 digits, ".",
// 2 digits) and after it a longitude (E or W, 3 digits, then the same), where a mark is 1 to 5
// characters other than digits ("°", "?", "&deg;", "Â°", "’"). None when the line holds no position.
// PositionColumn(u"EAXA 0 0 N55?05'03.00\" E012?39'22.00\" NORTH FIELD") == 10.
std::optional<std::size_t> PositionColumn(TextView line);

// Why a line holds a route point that the plan does not, in the order the note tells them when a line
// has more than one: first what stands before its first column, which the user mends first.
enum class Damage {
    QuotedMail,       // "> " before its first column
    LineNumbers,      // " 2 " or "12." before it
    SomethingBefore,  // anything else that is no part of an identifier: "| ", a zero-width space
    Indented,         // blanks before it
    // The line as a whole.
    LineBreaksLost,  // it holds several positions: the lines were joined
    HoldsAnother,    // a route point, and after its own position another one's: the lines were joined
    TabsForSpaces,   // tabs where the header has runs of spaces
    SpacesLost,      // its position starts before column 29
    SpacesAdded,     // its position starts after column 29, and it has the spaces to explain it
    WiderBefore,     // its position starts after column 29, and not for more spaces
    // Its position is in place, and one column breaks the layout.
    DegreeSignChanged,
    ApostropheChanged,
    SpacesChanged,  // a no-break space or another kind where a space belongs
    EndsEarly,      // it ends before the name's column: the rest was wrapped onto the next line
    SpaceTrimmed,   // it ends at column 56, the space a route point without a name ends in removed
    ColumnBroken,   // anything else in the wrong place
};

// One line that holds a route point the plan does not, as the note tells of it.
struct DamagedLine {
    std::size_t number = 0;  // 1-based; each line break of the box starts a new line
    Damage damage = Damage::ColumnBroken;
    // Where its position starts (the header has it at 29), where a column breaks the layout, or, for
    // EndsEarly, the last column the line holds.
    std::size_t column = 0;
    char16_t expected = 0;      // for a broken column: the pattern's character there ('#' a digit)
    Text held;                  // what stands there (the whole damaged mark), or before the first column
    std::size_t positions = 1;  // how many positions the line holds
    // Its first word, where the identifier stands (u"EKCH"); for HoldsAnother the identifier of the
    // position after the route point's own, the word before its numbers (u"WSSS").
    Text id;
    // Every position on the line is also that of a route point of the plan (a listing pasted twice):
    // then the plan starts and ends where the listing does all the same.
    bool inPlan = false;
};

// The line's damage, or none when it holds no position. `line` must not be a route point; `next` is the
// line after it, which tells a line wrapped before its name from one whose last space was trimmed.
std::optional<DamagedLine> ExamineLine(TextView line, TextView next = {});

// A route point's identifier that holds a character no one can see (a no-break space, a tab).
struct HiddenCharacter {
    std::size_t line = 0;
    Text id;            // the identifier without the hidden character, as the user reads it
    char16_t unit = 0;  // the character
    TextView where;     // where it stands in it, as the note says: u"starts with", u"ends with", u"holds"
    bool inFileName = false;  // in the departure's or destination's identifier, so in the file's name
};

// What the listing holds besides its route points.
struct ListingDamage {
    // Every line that holds a route point the plan does not, by number in the listing's order: each
    // position the listing holds is a route point's of the plan or on one of these lines.
    std::vector<std::size_t> lines;
    std::optional<DamagedLine> first;
    bool pointsHoldMore = false;                  // some of them are route points holding more
    std::optional<DamagedLine> beforeFirstPoint;  // the first above the departure that moves it
    std::optional<DamagedLine> afterLastPoint;    // the last on or below the destination that moves it
    std::optional<HiddenCharacter> hidden;        // in one of the plan's identifiers
};

// Reads each of the listing's lines, SplitLines(listing), once; `points` are SelectPoints(lines).
ListingDamage FindDamage(const std::vector<TextView>& lines, const std::vector<TextView>& points);

// The note under "Not enough or invalid points!" (`route` is null) or "Done!": first how the departure
// or destination moved, then which lines hold route points the plan does not and why the first, then
// a hidden character in an identifier. Empty when there is nothing to say. See messages.h for the words.
Text DamageNote(const ListingDamage& damage, const Route* route);

}  // namespace dravik
