// What saving means on a POSIX system: UTF-8 file names and the C library's words for failures.
#include <gtest/gtest.h>

#include "conversion/plan_file.h"
#include "conversion/platform.h"
#include "conversion/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

TEST(PlatformTest, TextOfPathsAndMessages) {
    EXPECT_EQ(TextFromSystem("Permission denied"), u"Permission denied");
    EXPECT_EQ(TextFromSystem("caf\xC3\xA9 \xF0\x9D\x84\x9E"), u"caf\u00E9 \U0001D11E");
    EXPECT_EQ(TextFromSystem("bad \xFF end \xC3"), u"bad \uFFFD end \uFFFD");
    EXPECT_EQ(TextFromSystem("\xED\xA0\x80"), u"\uFFFD");  // an encoded surrogate is no character
    EXPECT_EQ(PathFromText(u"\u00E9-\U0001D11E.PLN"), std::filesystem::path("\xC3\xA9-\xF0\x9D\x84\x9E.PLN"));
    EXPECT_EQ(PathFromText(u"a\xD800-B.PLN"), std::nullopt);
    EXPECT_EQ(TextFromPath(std::filesystem::path("/tmp/\xC3\xA9")), u"/tmp/\u00E9");
}

TEST(SavePlanTest, NamesOutsideAsciiAndOddIdentifiers) {
    ScratchFolder folder;
    const std::pair<Text, std::string> cases[] = {
        {PointLine(u"\u00C5RE") + u"\r\n" + PointLine(u"\U0001D11E"), "\xC3\x85RE-\xF0\x9D\x84\x9E.PLN"},
        {PointLine(u"..") + u"\r\n" + PointLine(u".."), "..-...PLN"},
        {PointLine(u"-rf") + u"\r\n" + PointLine(u""), "-rf-.PLN"},
        {PointLine(u"\tA") + u"\r\n" + PointLine(u"*?"), "\tA-*?.PLN"},
    };
    for (const auto& [listing, name] : cases) {
        EXPECT_EQ(SavePlan(folder.path(), RouteOf(listing)), std::nullopt) << name;
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / name)) << name;
    }
    EXPECT_EQ(folder.Entries().size(), std::size(cases));
}

TEST(PosixSaveTest, LoneSurrogateCannotNameAFile) {
    ScratchFolder folder;
    const auto error = SavePlan(folder.path(), RouteOf(PointLine(u"A\xDC00") + u"\r\n" + PointLine(u"B")));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->reason, u"An identifier contains a character that cannot be used in a file name.");
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(PosixSaveTest, ReasonsInTheSystemsWords) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.path() / "EAXA-EAXB.PLN");
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing))->reason, u"Is a directory");
    EXPECT_EQ(SavePlan(folder.path() / "missing", RouteOf(kExampleListing))->reason,
              u"No such file or directory");
}

}  // namespace
}  // namespace dravik
