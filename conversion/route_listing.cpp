#include "conversion/route_listing.h"

#include "platform/platform.h"

#include <algorithm>
#include <utility>

namespace dravik {

namespace {
constexpr std::size_t kNameColumn = 58;
constexpr std::size_t kCoordsColumn = 29;
constexpr std::size_t kCoordsLength = 27;
}  // namespace

bool IsPointLine(TextView line) {
    return MatchesPattern(line, kPointLinePattern);
}

std::vector<TextView> SelectPoints(TextView listing) {
    return SelectPoints(SplitLines(listing));
}

std::vector<TextView> SelectPoints(const std::vector<TextView>& lines) {
    std::vector<TextView> points;
    for (const TextView piece : lines) {
        if (IsPointLine(piece)) {
            points.push_back(piece);
        }
    }
    return points;
}

Text PointId(TextView pointLine) {
    return TrimSpaces(LeftText(pointLine, 5));
}

Text PointLongId(TextView pointLine) {
    return TrimSpaces(LeftText(pointLine, 6));
}

Text PointName(TextView pointLine) {
    return TrimSpaces(pointLine.substr(std::min(pointLine.size(), kNameColumn - 1)));
}

Text PointCoords(TextView pointLine) {
    return MidText(pointLine, kCoordsColumn, kCoordsLength);
}

Text RecaseName(TextView name, TextView id) {
    return name == id ? Text(name) : ProperCase(name, &MapLetterCase);
}

Route MakeRoute(std::vector<TextView> points) {
    Route route;
    route.DepId = PointId(points.front());
    route.DestId = PointId(points.back());
    route.DepName = RecaseName(PointName(points.front()), route.DepId);
    route.DestName = RecaseName(PointName(points.back()), route.DestId);
    route.Points = std::move(points);
    return route;
}

}  // namespace dravik
