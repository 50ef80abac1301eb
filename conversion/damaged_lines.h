// Lines that look like route points but are none: a listing damaged on its way to the user (spaces
// collapsed, indented, tabs for spaces, a lost degree sign) and where the first of them leaves the layout.
// Nothing here changes which lines are route points; it only finds words for the ones that were skipped.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "text/text.h"

namespace dravik {

// The column where the line's position starts, written the listing's way even with the marks between
// its digits damaged: a latitude (N or S, 2 digits, a mark, 2 digits, a mark, 2 digits, ".", 2 digits)
// and after it a longitude (E or W, 3 digits, then the same), where a mark is 1 to 5 characters other
// than digits ("°", "?", "&deg;", "Â°", "’"). None when the line holds no position.
// PositionColumn(u"EAXA 0 0 N55?05'03.00\" E012?39'22.00\" NORTH FIELD") == 10.
std::optional<std::size_t> PositionColumn(TextView line);

// Where a line that looks like a route point first breaks the layout.
struct LayoutBreak {
    std::size_t line = 0;            // 1-based; each line break of the box starts a new line
    std::size_t positionColumn = 0;  // where its position starts; the header has it at 29
    std::size_t leadingBlanks = 0;   // spaces and tabs before its first other character
    bool hasTab = false;             // a tab before its position
    // When the position is in place: the first column that breaks the layout, the pattern's character
    // there ('#' for a digit, '?' for a seconds mark) and what the line holds there: the whole mark
    // where a degree sign or an apostrophe belongs, nothing where the line ends.
    std::size_t column = 0;
    char16_t expected = 0;
    Text held;
};

struct DamagedLines {
    std::size_t count = 0;  // lines that look like route points but are none
    LayoutBreak first;
};

// The lines of `listing` that look like route points but are not among `points` (SelectPoints' views
// into the same listing), and where the first of them breaks the layout; none when there is none.
std::optional<DamagedLines> FindDamagedLines(TextView listing, const std::vector<TextView>& points);

// The note for the user, two lines: which line and how many, then where and why it leaves the layout.
// `leftOut` when the plan was made without them. See messages.h for the words.
Text DamagedLinesNote(const DamagedLines& damaged, bool leftOut);

}  // namespace dravik
