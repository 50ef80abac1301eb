#include "conversion/plan_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

TEST(EncodingTest, EncodePlanEndsEveryLineWithCrLf) {
    EXPECT_EQ(EncodePlan({u"a", u"", u"b"}), std::string("a\r\n\r\nb\r\n"));  // the code page: its own test
    EXPECT_EQ(EncodePlan({}), std::string());
}

// The plan goes into the program's folder itself, with one separator between, whether the folder's
// name ends in one or not, and the path shown to the user is the same.
TEST(EncodingTest, PlanPathJoinsTheFolderAndTheName) {
    const Route route = RouteOf(kExampleListing);
#ifdef _WIN32
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Dravik", "C:\\Dravik\\EAXA-EAXB.PLN"},
        {"C:\\Dravik\\", "C:\\Dravik\\EAXA-EAXB.PLN"},
        {"C:\\", "C:\\EAXA-EAXB.PLN"},
    };
#else
    const std::pair<const char*, const char*> rows[] = {
        {"/opt/dravik", "/opt/dravik/EAXA-EAXB.PLN"},
        {"/opt/dravik/", "/opt/dravik/EAXA-EAXB.PLN"},
        {"/", "/EAXA-EAXB.PLN"},
    };
#endif
    for (const auto& [folder, plan] : rows) {
        const PlanFile file = PlanFileIn(folder, route);
        EXPECT_EQ(file.path, std::filesystem::path(plan)) << folder;
        EXPECT_EQ(file.shown, TextFromPath(plan)) << folder;
    }
}

TEST(PlatformTest, ProgramDirectoryHoldsThisTest) {
    std::error_code error;
    const std::filesystem::path directory = ProgramDirectory(error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_TRUE(std::filesystem::exists(directory / "plan_file_test") ||
                std::filesystem::exists(directory / "plan_file_test.exe"));
}

}  // namespace
}  // namespace dravik
