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

TEST(FlightPlanTest, EmptyIdentifiersAndNamesStayEmpty) {
    const Text listing = PointLine(u"") + u"\r\n" + PointLine(u"BBBBBB", u"END");
    const Route route = MakeRoute(SelectPoints(listing));
    const std::vector<Text> lines = PlanLines(route);
    EXPECT_EQ(PlanFileName(route.DepId, route.DestId), u"-BBBBB.PLN");
    EXPECT_EQ(PlanFileName(u"A", u""), u"A-.PLN");
    EXPECT_EQ(lines[2], u"title= to BBBBB");
    EXPECT_EQ(lines[3], u"description=, BBBBB");
    EXPECT_EQ(lines[7], u"departure_id=, N55* 5.05', E012* 39.37', +000000.00");
    EXPECT_EQ(lines[10], u"departure_name=");
    EXPECT_EQ(lines[12], u"waypoint.0=, , , , A, N55* 5.05', E012* 39.37', +000000.00,");
    EXPECT_EQ(lines[13], u"waypoint.1=, BBBBBB, , BBBBB, A, N55* 5.05', E012* 39.37', +000000.00,");
}

TEST(FlightPlanTest, NumbersWaypointsFromZero) {
    Text listing;
    for (int i = 0; i < 12; ++i) {
        listing += PointLine(u"P" + FormatWhole(i)) + u"\r\n";
    }
    const std::vector<Text> lines = PlanLines(MakeRoute(SelectPoints(listing)));
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[23].substr(0, 17), u"waypoint.11=, P11");
}

}  // namespace
}  // namespace dravik
