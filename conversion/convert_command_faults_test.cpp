// The convert command against failing disks, killed processes and hostile listings: the user's text is
// never lost, an earlier plan is never damaged, and nothing is written outside the program's folder.
#include "conversion/convert_command.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

// A listing of `count` points from EAXA to EAXB: about 75 bytes of plan per point.
Text LargeRoute(std::size_t count) {
    Text listing = PointLine(u"EAXA") + u"\r\n";
    for (std::size_t i = 2; i < count; ++i) {
        listing += PointLine(u"P" + FormatWhole(static_cast<std::int64_t>(i)), u"MIDDLE") + u"\r\n";
    }
    return listing + PointLine(u"EAXB");
}

// The program's folder inside a scratch folder, so that a write beside it would show.
struct ProgramFolder {
    ScratchFolder scratch;
    std::filesystem::path app = scratch.path() / "app";
    ProgramFolder() { std::filesystem::create_directory(app); }
    std::vector<std::string> AppEntries() const { return testing::Entries(app); }
};

TEST(SaveFailureTest, FileSizeLimitPartWayKeepsEverything) {
    ProgramFolder folder;
    const std::string earlier = "an earlier plan that must survive\r\n";
    WriteBytes(folder.app / "EAXA-EAXB.PLN", earlier);
    const Text listing = LargeRoute(4000);

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // The limit is cut in a child so this test's own output can't hit it.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        FakeHost host(listing);
        cmdR_Click(host, folder.app);
        const bool reported = host.messages.size() == 1 && host.messages[0].icon == MessageIcon::Stop &&
                              host.messages[0].text.starts_with(u"Could not save the flight plan!\n") &&
                              host.messages[0].text.ends_with(u"EAXA-EAXB.PLN\nFile too large");
        _exit(reported && host.text() == listing ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "no \"File too large\" message, or the text was not kept";
    EXPECT_EQ(ReadBytes(folder.app / "EAXA-EAXB.PLN"), earlier);
    EXPECT_EQ(folder.AppEntries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

// Memory runs out for real: the address space is capped just above what the child already uses, so the
// command's own copy of a large listing cannot be made.
TEST(SaveFailureTest, AddressSpaceLimitGivesAStopMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit here would allow";
#endif
    ProgramFolder folder;
    WriteBytes(folder.app / "EAXA-EAXB.PLN", "earlier");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const Text listing = kExampleListing + u"\r\n" + Text(40'000'000, u'x');
        FakeHost host(listing);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t cap = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + (32u << 20);
        const rlimit limit{cap, cap};
        setrlimit(RLIMIT_AS, &limit);
        cmdR_Click(host, folder.app);
        const bool stopped = host.messages.size() == 1 && host.messages[0].icon == MessageIcon::Stop &&
                             host.messages[0].text == kOutOfMemoryMessage;
        _exit(stopped && host.text() == listing ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "no out-of-memory message, or the text was not kept";
    EXPECT_EQ(ReadBytes(folder.app / "EAXA-EAXB.PLN"), "earlier");
    EXPECT_EQ(folder.AppEntries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

TEST(SaveFailureTest, KilledWhileWritingLeavesTheEarlierPlanWhole) {
    ProgramFolder folder;
    const Text listing = LargeRoute(4000);
    std::string complete;
    {
        ScratchFolder other;
        FakeHost host(listing);
        cmdR_Click(host, other.path());
        complete = ReadBytes(other.path() / "EAXA-EAXB.PLN");
        ASSERT_GT(complete.size(), 250000u);
    }
    const std::string earlier(complete.size() / 2, 'e');
    WriteBytes(folder.app / "EAXA-EAXB.PLN", earlier);

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        for (int run = 0; run < 2000; ++run) {
            FakeHost host(listing);
            cmdR_Click(host, folder.app);
        }
        _exit(0);
    }
    bool sawTemporary = false;
    for (int poll = 0; poll < 2000000 && !sawTemporary; ++poll) {
        for (const auto& entry : std::filesystem::directory_iterator(folder.app)) {
            sawTemporary = sawTemporary || entry.path().extension() == ".tmp";
        }
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(sawTemporary) << "never caught the save in the act";
    // Either the rename had not happened yet, or it had and the new plan is complete: never a mix.
    const std::string now = ReadBytes(folder.app / "EAXA-EAXB.PLN");
    EXPECT_TRUE(now == earlier || now == complete) << "a damaged plan of " << now.size() << " bytes";
}

TEST(SaveFailureTest, DirectoryInTheWayOrMissingFolder) {
    ProgramFolder folder;
    std::filesystem::create_directory(folder.app / "EAXA-EAXB.PLN");
    WriteBytes(folder.app / "EAXA-EAXB.PLN" / "inside", "kept");
    FakeHost host(kExampleListing);
    cmdR_Click(host, folder.app);
    cmdR_Click(host, folder.app / "missing");
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(host.messages[0].text.ends_with(u"\nIs a directory"));
    EXPECT_TRUE(host.messages[1].text.ends_with(u"\nNo such file or directory"));
    EXPECT_EQ(host.text(), kExampleListing);
    EXPECT_EQ(folder.AppEntries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
    EXPECT_EQ(ReadBytes(folder.app / "EAXA-EAXB.PLN" / "inside"), "kept");
}

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
        {"slash", PointLine(u"/etc") + end, unusable, {}},
        {"backslash", PointLine(u"a\\b") + end, unusable, {}},
        {"NUL", PointLine(Text(u"a\0b", 3)) + end, unusable, {}},
        {"destination", PointLine(u"A") + u"\r\n" + PointLine(u"x/y"), unusable, {}},
        {"dots", PointLine(u"..") + end, kDoneMessage, {"..-B.PLN"}},
        {"dash", PointLine(u"-rf") + end, kDoneMessage, {"-rf-B.PLN"}},
        {"tab", PointLine(u"\tA") + end, kDoneMessage, {"\tA-B.PLN"}},
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
        {"4000 points", LargeRoute(4000), kDoneMessage, {"EAXA-EAXB.PLN"}},
        {"4001 points", LargeRoute(4001), kTooManyPointsMessage, {}},
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
        EXPECT_EQ(folder.scratch.Entries(), std::vector<std::string>{"app"}) << c.what;
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
