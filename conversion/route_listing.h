// Which lines of a pasted route listing are route points, and the fields the plan takes from them.
//
//          1         2         3         4         5         6
// 123456789012345678901234567890123456789012345678901234567890123456789
// EAXA             0      0   N55°05'03.00" E012°39'22.00" NORTH FIELD
#pragma once

#include <cstddef>
#include <vector>

#include "text/text.h"

namespace dravik {

// A point line has a fixed-column track, distance and position, then an optional name from column 58.
inline constexpr TextView kPointLinePattern =
    u"?????????????? ??#??????#????##\u00B0##'##.##? ?###\u00B0##'##.##? *";

// The most point lines one plan may hold.
inline constexpr std::size_t kMaxPoints = 4000;

// The point lines of a listing, in their order; they view `listing`, which must outlive them.
std::vector<TextView> SelectPoints(TextView listing);
// The same among the listing's lines, SplitLines(listing), for a caller that reads them again.
std::vector<TextView> SelectPoints(const std::vector<TextView>& lines);

bool IsPointLine(TextView line);

// Columns 1-5, trimmed: the identifier used in the file name and the plan. PointId(u"GAMMA1 ...") ==
// u"GAMMA".
Text PointId(TextView pointLine);

// Columns 1-6, trimmed: the first identifier field of a waypoint line.
Text PointLongId(TextView pointLine);

// Columns 58 onward, trimmed; empty for a 57-unit line.
Text PointName(TextView pointLine);

// Columns 29-55: the position in degrees, minutes and seconds.
Text PointCoords(TextView pointLine);

// The name as listed when it equals the identifier, else in proper case.
// RecaseName(u"NORTH FIELD", u"EAXA") == u"North Field"; RecaseName(u"XYZ", u"XYZ") == u"XYZ".
Text RecaseName(TextView name, TextView id);

// Departure and destination of a route of at least two point lines.
struct Route {
    Text DepId;
    Text DestId;
    Text DepName;
    Text DestName;
    std::vector<TextView> Points;
};

// Needs points.size() >= 2.
Route MakeRoute(std::vector<TextView> points);

}  // namespace dravik
