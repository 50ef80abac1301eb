// Lines that look like route points but are none: a listing damaged on its way to the user (spaces
// collapsed, indented, quoted, tabs for spaces, a lost degree sign, lines joined or wrapped) and why.
// Nothing here changes which lines are route points; it only finds words for what the selection did.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "conversion/route_listing.h"
#include "text/text.h"

namespace dravik {

// The column where the line's position starts, written the listing's way even with the marks between
// its digits damaged: a latitude (N or S, 2 digits, a mark, 2 digits, a mark, 2 digits, ".", 2 digits)
// and after it a longitude (E or W, 3 digits, then the same), where a mark is 1 to 5 characters other
// than digits ("°", "?", "&deg;", "Â°", "’"). None when the line holds no position.
// PositionColumn(u"EAXA 0 0 N55?05'03.00\" E012?39'22.00\" NORTH FIELD") == 10.
std::optional<std::size_t> PositionColumn(TextView line);

// Why a line that looks like a route point is none.
enum class Damage {
    // The line as a whole: its columns do not start where the header's do.
    LineBreaksLost,   // it holds several positions: the lines were joined
    SomethingBefore,  // "> ", "| " or a line number before its first column
    Indented,         // blanks before its first column
    TabsForSpaces,    // tabs where the header has runs of spaces
    SpacesLost,       // its position starts before column 29
    SpacesAdded,      // its position starts after column 29
    // Its position is in place, and one column breaks the layout.
    DegreeSignChanged,
    ApostropheChanged,
    SpacesChanged,  // a no-break space or another kind where a space belongs
    EndsEarly,      // it ends before the name's column: the rest was wrapped onto the next line
    ColumnBroken,   // anything else in the wrong place
};

// One line that looks like a route point, as the note tells of it.
struct DamagedLine {
    std::size_t number = 0;  // 1-based; each line break of the box starts a new line
    Damage damage = Damage::ColumnBroken;
    // Where its position starts (the header has it at 29), where a column breaks the layout, or, for
    // EndsEarly, the last column the line holds.
    std::size_t column = 0;
    char16_t expected = 0;      // for a broken column: the pattern's character there ('#' a digit)
    Text held;                  // what stands there (the whole damaged mark), or before the first column
    std::size_t positions = 1;  // how many positions the line holds
    Text id;                    // its first word, where the identifier stands: u"EKCH"
};

// The line's damage, or none when it holds no position. `line` must not be a route point.
std::optional<DamagedLine> ExamineLine(TextView line);

// A route point's identifier that holds a character no one can see (a no-break space, a tab).
struct HiddenCharacter {
    std::size_t line = 0;
    Text id;               // the identifier without the hidden character, as the user reads it
    char16_t unit = 0;     // the character
    bool atStart = false;  // where it stands in the identifier
    bool atEnd = false;
    bool inFileName = false;  // in the departure's or destination's identifier, so in the file's name
};

// What the listing holds besides its route points.
struct ListingDamage {
    std::size_t count = 0;  // lines that look like route points but are none
    std::optional<DamagedLine> first;
    std::optional<DamagedLine> beforeFirstPoint;  // the first of them above the departure
    std::optional<DamagedLine> afterLastPoint;    // the last of them below the destination
    std::optional<HiddenCharacter> hidden;        // in one of the plan's identifiers
};

// Reads each of the listing's lines, SplitLines(listing), once; `points` are SelectPoints(lines).
ListingDamage FindDamage(const std::vector<TextView>& lines, const std::vector<TextView>& points);

// The note under "Not enough or invalid points!" (`route` is null) or "Done!": first how the departure
// or destination moved, then which line broke and why, then a hidden character in an identifier. Empty
// when there is nothing to say. See messages.h for the words.
Text DamageNote(const ListingDamage& damage, const Route* route);

}  // namespace dravik
