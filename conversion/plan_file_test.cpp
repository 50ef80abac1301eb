#include "conversion/plan_file.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

// Every line ends with CR LF, in the plan's code page, "?" for what it lacks (the code page has its own
// table).
TEST(EncodingTest, EncodePlanEndsEveryLineWithCrLfInTheCodePage) {
    EXPECT_EQ(EncodePlan({u"\u00C9t\xD800", u"", u"\U0001D11E \u03A9"}),
              std::string("\xC9t?\r\n\r\n? ?\r\n"));
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
