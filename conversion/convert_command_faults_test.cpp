// The convert command against failing disks, killed processes and a system that hides the program's
// folder, as only POSIX lets a test make them: the user's text is never lost and an earlier plan is never
// damaged.
#include "conversion/convert_command.h"

#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "conversion/flight_plan.h"
#include "conversion/plan_file.h"
#include "testing/child_process.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

TEST(SaveFailureTest, FileSizeLimitPartWayKeepsEverything) {
    ProgramFolder folder;
    const std::string earlier = "an earlier plan that must survive\r\n";
    WriteBytes(folder.app / "EAXA-EAXB.PLN", earlier);
    const Text listing = LargeRoute(4000);

    // The temporary file is closed too: Linux removes it all the same, and would keep it open until exit.
    const auto descriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    EXPECT_TRUE(HoldsInLimitedChild(Limit::FileSize, 64 * 1024, [&] {
        const auto open = descriptors();
        FakeHost host(listing);
        cmdR_Click(host, folder.app);
        return host.messages.size() == 1 && host.messages[0].icon == MessageIcon::Stop &&
               host.messages[0].text.starts_with(u"Could not save the flight plan!\n") &&
               host.messages[0].text.ends_with(u"EAXA-EAXB.PLN\nFile too large") && host.text() == listing &&
               descriptors() == open;
    })) << "no \"File too large\" message, the text was not kept, or a file was left open";
    EXPECT_EQ(ReadBytes(folder.app / "EAXA-EAXB.PLN"), earlier);
    EXPECT_EQ(folder.AppEntries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

TEST(SaveFailureTest, KilledWhileWritingLeavesTheEarlierPlanWhole) {
    ProgramFolder folder;
    const Text listing = LargeRoute(4000);
    const std::string complete = EncodePlan(PlanLines(RouteOf(listing))).value();
    ASSERT_GT(complete.size(), 250000u);
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
    std::string temporary;  // the hidden file beside the plan that the README names
    for (int poll = 0; poll < 2000000 && temporary.empty(); ++poll) {
        for (const auto& entry : std::filesystem::directory_iterator(folder.app)) {
            if (entry.path().extension() == ".tmp") {
                temporary = entry.path().filename().string();
            }
        }
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_FALSE(temporary.empty()) << "never caught the save in the act";
    EXPECT_TRUE(std::regex_match(temporary, std::regex(R"(\.EAXA-EAXB\.PLN\.[0-9a-z]{8}\.tmp)")))
        << temporary;
    // Either the rename had not happened yet, or it had and the new plan is complete: never a mix.
    const std::string now = ReadBytes(folder.app / "EAXA-EAXB.PLN");
    EXPECT_TRUE(now == earlier || now == complete) << "a damaged plan of " << now.size() << " bytes";
}

// Where the program's folder cannot be found (no /proc, as in a bare container), the message says so in
// words of its own and the listing stays.
TEST(SaveFailureTest, ProgramFolderThatCannotBeFoundIsSaid) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // An empty /proc in a mount namespace of the child's own; made private first, so that the new
        // mount stays in that namespace.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/proc", nullptr, MS_PRIVATE, nullptr) != 0 ||
            mount("none", "/proc", "tmpfs", 0, nullptr) != 0) {
            _exit(2);
        }
        FakeHost host(kExampleListing);
        cmdR_Click(host);
        _exit(host.messages.size() == 1 && host.messages[0].icon == MessageIcon::Stop &&
                      host.messages[0].text ==
                          u"Could not find the folder that holds Dravik!\nNo such file or directory" &&
                      host.text() == kExampleListing
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "only root can hide /proc from a process";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "no message of its own, or the text was not kept";
}

}  // namespace
}  // namespace dravik
