// Listings made to hurt, on every system: the settled outcome of each, the user's text kept where the
// plan is not saved, and nothing written outside the program's folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/convert_command.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

struct HostileCase {
    const char* what;
    Text listing;
    TextView message;                // the one message the run shows
    std::vector<std::string> files;  // what the program's folder then holds
};

TEST(HostileListingTest, EachGivesTheSettledOutcome) {
    const Text end = u"\r\n" + PointLine(u"B");
    const Text unusable = u"An identifier contains a character that cannot be used in a file name.";
    Text strange = PointLine(u"FREE");
    const char16_t odd[] = {u'\t',     u'\0',     u'\u00B0', u'\xD800', u'\xDFFF',
                            u'\uFFFF', u'\u00A0', u'\u2029', u'\x7F'};
    const std::size_t freeColumns[] = {7, 9, 14, 16, 17, 19, 23, 26, 28};
    for (std::size_t i = 0; i < std::size(freeColumns); ++i) {
        strange[freeColumns[i] - 1] = odd[i];
    }
    const HostileCase cases[] = {
        {"parent folder", PointLine(u"../x") + end, unusable, {}},
        {"dots", PointLine(u"..") + end, kDoneMessage, {"..-B.PLN"}},
        {"dash", PointLine(u"-rf") + end, kDoneMessage, {"-rf-B.PLN"}},
#ifdef _WIN32
        {"tab",
         PointLine(u"\tA") + end,
         u"Invalid name.",
         {}},  // Windows refuses it in a name (Wine's words)
#else
        {"tab", PointLine(u"\tA") + end, kDoneMessage, {"\tA-B.PLN"}},
#endif
        {"20 MB line", Text(10'000'000, u'x'), kNotEnoughPointsMessage, {}},
        {"200,000 lines",
         [] {
             Text many;
             for (int i = 0; i < 200000; ++i) {
                 many += u"line\r\n";
             }
             return many;
         }(),
         kNotEnoughPointsMessage,
         {}},
        {"free columns", strange + end, kDoneMessage, {"FREE-B.PLN"}},
    };
    for (const HostileCase& c : cases) {
        ProgramFolder folder;
        FakeHost host(c.listing);
        cmdR_Click(host, folder.app);
        ASSERT_EQ(host.messages.size(), 1u) << c.what;
        EXPECT_TRUE(host.messages[0].text.ends_with(c.message)) << c.what;
        EXPECT_EQ(host.text(), c.message == kDoneMessage ? Text() : c.listing) << c.what;
        EXPECT_EQ(folder.AppEntries(), c.files) << c.what;
        EXPECT_TRUE(Entries(folder.elsewhere).empty()) << c.what;
        EXPECT_EQ(folder.scratch.Entries(), (std::vector<std::string>{"app", "elsewhere"})) << c.what;
    }
}

TEST(HostileListingTest, NamesOutsideTheCodePageBecomeQuestionMarks) {
    ProgramFolder folder;
    const Text listing = PointLine(u"A",
                                   u"\u00C9T\xD800"
                                   u"E \U0001D11E \u03A9") +
                         u"\r\n" + PointLine(u"B", u"B");
    FakeHost host(listing);
    cmdR_Click(host, folder.app);
    const std::string plan = ReadBytes(folder.app / "A-B.PLN");
    EXPECT_NE(plan.find("\r\ndeparture_name=\xC9t?e ? ?\r\n"), std::string::npos) << plan;
}

}  // namespace
}  // namespace dravik
