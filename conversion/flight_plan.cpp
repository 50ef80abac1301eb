#include "conversion/flight_plan.h"

#include <cstdint>

#include "conversion/coordinates.h"

namespace dravik {

namespace {

// Every position in the plan sits at ground level.
constexpr TextView kAltitude = u", +000000.00";

Text Concat(std::initializer_list<TextView> parts) {
    std::size_t size = 0;
    for (const TextView part : parts) {
        size += part.size();
    }
    Text line;
    line.reserve(size);
    for (const TextView part : parts) {
        line += part;
    }
    return line;
}

Text WaypointLine(std::size_t index, TextView pointLine) {
    return Concat({u"waypoint.", FormatWhole(static_cast<std::int64_t>(index)), u"=, ",
                   PointLongId(pointLine), u", , ", PointId(pointLine), u", A, ",
                   ConvertCoords(PointCoords(pointLine)), kAltitude, u","});
}

}  // namespace

Text PlanFileName(TextView depId, TextView destId) {
    return Concat({depId, u"-", destId, u".PLN"});
}

std::vector<Text> PlanLines(const Route& route) {
    std::vector<Text> lines;
    lines.reserve(12 + route.Points.size());
    lines.emplace_back(u"[flightplan]");
    lines.emplace_back(u"AppVersion=9.0.30612");
    lines.push_back(Concat({u"title=", route.DepId, u" to ", route.DestId}));
    lines.push_back(Concat({u"description=", route.DepId, u", ", route.DestId}));
    lines.emplace_back(u"type=IFR");
    lines.emplace_back(u"routetype=0");
    lines.emplace_back(u"cruising_altitude=0");
    lines.push_back(Concat(
        {u"departure_id=", route.DepId, u", ", ConvertCoords(PointCoords(route.Points.front())), kAltitude}));
    lines.emplace_back(u"departure_position=36");
    lines.push_back(Concat({u"destination_id=", route.DestId, u", ",
                            ConvertCoords(PointCoords(route.Points.back())), kAltitude}));
    lines.push_back(Concat({u"departure_name=", route.DepName}));
    lines.push_back(Concat({u"destination_name=", route.DestName}));
    for (std::size_t k = 0; k < route.Points.size(); ++k) {
        lines.push_back(WaypointLine(k, route.Points[k]));
    }
    return lines;
}

}  // namespace dravik
