#include "conversion/plan_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

TEST(EncodingTest, EncodePlanEndsEveryLineWithCrLf) {
    EXPECT_EQ(EncodePlan({u"a", u"", u"\u00E9"}), std::string("a\r\n\r\n\xE9\r\n"));
    EXPECT_EQ(EncodePlan({}), std::string());
}

TEST(PlatformTest, ProgramDirectoryHoldsThisTest) {
    std::error_code error;
    const std::filesystem::path directory = ProgramDirectory(error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_TRUE(std::filesystem::exists(directory / "plan_file_test") ||
                std::filesystem::exists(directory / "plan_file_test.exe"));
}

TEST(SavePlanTest, WritesTheExampleByteForByte) {
    ScratchFolder folder;
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing)), std::nullopt);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
    EXPECT_EQ(ReadBytes(folder.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
}

TEST(SavePlanTest, ReplacesAnEarlierPlanSilently) {
    ScratchFolder folder;
    WriteBytes(folder.path() / "EAXA-EAXB.PLN", std::string(100000, 'x'));
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing)), std::nullopt);
    EXPECT_EQ(ReadBytes(folder.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
    EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST(SavePlanTest, RefusesIdentifiersThatLeaveTheFolder) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    const Text bad[] = {u"../x", u"/etc", u"a/b", u"sub/", u"a\\b", Text(u"a\0b", 3)};
    for (const Text& id : bad) {
        // As the departure and as the destination.
        for (const Text& listing :
             {PointLine(id) + u"\r\n" + PointLine(u"OK"), PointLine(u"OK") + u"\r\n" + PointLine(id)}) {
            const auto error = SavePlan(folder.path(), RouteOf(listing));
            ASSERT_TRUE(error.has_value());
            EXPECT_EQ(error->reason,
                      u"An identifier contains a character that cannot be used in a file name.");
            EXPECT_EQ(error->path.find(u'\0'), Text::npos);
        }
    }
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sub"});
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "sub"));
}

TEST(SavePlanTest, FailuresLeaveTheEarlierFileAndNoTemporary) {
    ScratchFolder folder;
    // A directory where the plan should go: the rename fails even for root.
    std::filesystem::create_directory(folder.path() / "EAXA-EAXB.PLN");
    const auto error = SavePlan(folder.path(), RouteOf(kExampleListing));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->path, TextFromPath(folder.path() / "EAXA-EAXB.PLN"));
    EXPECT_FALSE(error->reason.empty());
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});

    const auto missing = SavePlan(folder.path() / "missing", RouteOf(kExampleListing));
    ASSERT_TRUE(missing.has_value());
    EXPECT_FALSE(missing->reason.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

}  // namespace
}  // namespace dravik
