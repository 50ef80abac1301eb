#include "conversion/flight_plan.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

std::vector<Text> Widened(const std::vector<std::string>& lines) {
    std::vector<Text> wide;
    for (const std::string& line : lines) {
        wide.emplace_back(line.begin(), line.end());
    }
    return wide;
}

TEST(FlightPlanTest, ExampleRouteGivesEveryLine) {
    const Route route = MakeRoute(SelectPoints(kExampleListing));
    EXPECT_EQ(PlanFileName(route.DepId, route.DestId), u"EAXA-EAXB.PLN");
    EXPECT_EQ(PlanLines(route), Widened(ExampleLines()));
}

// Empty identifiers and names stay empty; the waypoints are numbered from 0, the last here 11.
TEST(FlightPlanTest, EmptyFieldsAndWaypointNumbers) {
    Text listing = PointLine(u"") + u"\r\n";
    for (int i = 1; i <= 10; ++i) {
        listing += PointLine(u"P" + FormatWhole(i)) + u"\r\n";
    }
    listing += PointLine(u"BBBBBB", u"END");
    const Route route = RouteOf(listing);
    const std::vector<Text> lines = PlanLines(route);
    EXPECT_EQ(PlanFileName(route.DepId, route.DestId), u"-BBBBB.PLN");
    EXPECT_EQ(lines[2], u"title= to BBBBB");
    EXPECT_EQ(lines[3], u"description=, BBBBB");
    EXPECT_EQ(lines[7], u"departure_id=, N55* 5.05', E012* 39.37', +000000.00");
    EXPECT_EQ(lines[10], u"departure_name=");
    EXPECT_EQ(lines[12], u"waypoint.0=, , , , A, N55* 5.05', E012* 39.37', +000000.00,");
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[23], u"waypoint.11=, BBBBBB, , BBBBB, A, N55* 5.05', E012* 39.37', +000000.00,");
}

}  // namespace
}  // namespace dravik
