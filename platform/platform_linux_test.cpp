// What saving means on Linux: UTF-8 file names, the C library's words for failures, and
// replacing an earlier plan as a careful editor does.
#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/save_steps.h"
#include "testing/folders.h"

namespace dravik {
namespace {

using namespace testkit;

namespace fs = std::filesystem;

// A plan's bytes; what they say does not matter here.
const std::string kPlan = "[flightplan]\r\ntitle=EAXA to EAXB\r\n";

std::error_code Save(const fs::path& target) {
    return ReplaceFileContents(target, kPlan);
}

// A system message or a file name in UTF-8, read as text: each ill-formed sequence becomes one U+FFFD.
TEST(PlatformTest, TextOfPathsAndMessages) {
    struct Row {
        const char* name;
        const char* bytes;
        TextView text;
    };
    const Row rows[] = {
        {"ASCII", "Permission denied", u"Permission denied"},
        {"two, three and four bytes", "caf\xC3\xA9 \xE0\xA0\x80 \xF0\x9D\x84\x9E",
         u"caf\u00E9 \u0800 \U0001D11E"},
        {"a byte no sequence starts with, one cut short", "bad \xFF end \xC3", u"bad \uFFFD end \uFFFD"},
        {"a continuation too many", "\xC3\xA9\x80", u"\u00E9\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
        {"the last encoded surrogate", "\xED\xBF\xBF", u"\uFFFD"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TextFromSystem(row.bytes), row.text) << row.name;
    }
    EXPECT_EQ(PathFromText(u"\u007F\u0080\u00E9-\U0001D11E.PLN"),
              std::filesystem::path("\x7F\xC2\x80\xC3\xA9-\xF0\x9D\x84\x9E.PLN"));
    EXPECT_EQ(PathFromText(u"a\xD800-B.PLN"), std::nullopt);
    EXPECT_EQ(TextFromPath(std::filesystem::path("/tmp/\xC3\xA9")), u"/tmp/\u00E9");
}

fs::perms PermissionsOf(const fs::path& path) {
    return fs::symlink_status(path).permissions();
}

// A link to a plan is followed; a link to no file is refused, and nothing is made where it points.
TEST(LinuxReplaceTest, LinkedPlanIsReplacedWhereTheLinkPoints) {
    struct Case {
        const char* what;
        fs::path link;  // what the plan's link holds
        fs::path real;  // where the plan then is
    };
    for (const bool earlierExists : {true, false}) {
        ProgramFolder folders;
        const Case cases[] = {
            {"relative", "../elsewhere/real.PLN", folders.elsewhere / "real.PLN"},
            {"absolute", folders.elsewhere / "real.PLN", folders.elsewhere / "real.PLN"},
            {"chain", "../elsewhere/first", folders.elsewhere / "real.PLN"},
        };
        fs::create_symlink("real.PLN", folders.elsewhere / "first");
        for (const Case& c : cases) {
            fs::remove(folders.plan);
            fs::remove(c.real);
            fs::create_symlink(c.link, folders.plan);
            if (earlierExists) {
                WriteBytes(c.real, "earlier");
                EXPECT_EQ(Save(folders.plan), std::error_code()) << c.what;
                EXPECT_EQ(ReadBytes(c.real), kPlan) << c.what;
            } else {
                EXPECT_EQ(SystemReason(Save(folders.plan)), u"No such file or directory") << c.what;
                EXPECT_FALSE(fs::exists(c.real)) << c.what;
            }
            EXPECT_TRUE(fs::is_symlink(folders.plan)) << c.what;
            EXPECT_EQ(fs::read_symlink(folders.plan), c.link) << c.what;
            EXPECT_EQ(Entries(folders.app), std::vector<std::string>{"EAXA-EAXB.PLN"}) << c.what;
            const std::vector<std::string> elsewhere = earlierExists
                                                           ? std::vector<std::string>{"first", "real.PLN"}
                                                           : std::vector<std::string>{"first"};
            EXPECT_EQ(Entries(folders.elsewhere), elsewhere) << c.what;
        }
    }
}

TEST(LinuxReplaceTest, LinkLoopIsReported) {
    ProgramFolder folders;
    fs::create_symlink("EAXA-EAXB.PLN", folders.plan);
    EXPECT_EQ(SystemReason(Save(folders.plan)), u"Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_symlink(folders.plan));
}

// A replaced plan keeps its permissions, set-group-ID and sticky bits too (a folder's group may rely on
// them); a new one gets the usual ones.
TEST(LinuxReplaceTest, PlanPermissions) {
    for (const auto mode : {fs::perms(0600), fs::perms(0604), fs::perms(0664), fs::perms(0755),
                            fs::perms(02664), fs::perms(01644)}) {
        ProgramFolder folders;
        WriteBytes(folders.plan, "earlier");
        fs::permissions(folders.plan, mode);
        EXPECT_EQ(Save(folders.plan), std::error_code());
        EXPECT_EQ(ReadBytes(folders.plan), kPlan);
        EXPECT_EQ(PermissionsOf(folders.plan), mode) << static_cast<int>(mode);
    }
    ProgramFolder folders;
    const mode_t mask = ::umask(022);
    EXPECT_EQ(Save(folders.plan), std::error_code());
    ::umask(mask);
    EXPECT_EQ(PermissionsOf(folders.plan), fs::perms(0644));
}

}  // namespace

// A file system that holds no permission bits (a FAT stick) refuses chmod; the test program is linked
// with chmod wrapped, so that a test can say so.
bool refuseChmod = false;
extern "C" int __real_chmod(const char* path, mode_t mode);
extern "C" int __wrap_chmod(const char* path, mode_t mode) {
    if (refuseChmod) {
        errno = ENOSYS;
        return -1;
    }
    return __real_chmod(path, mode);
}

namespace {

// A write that reports success with nothing written (a FUSE file system may) fails the save, where the
// loop would otherwise ask again for ever; one that writes in pieces is carried on to the end.
TEST(LinuxReplaceTest, WriteThatWritesNothingFails) {
    const std::error_code nothing(EIO, std::system_category());
    int calls = 0;
    std::string written;
    const auto stuck = [&calls](std::string_view, std::size_t& count) {
        count = ++calls > 3 ? 1 : 0;  // past three calls the loop would spin: end it all the same
        return std::error_code{};
    };
    EXPECT_EQ(save::WriteInPieces("plan", stuck, nothing), nothing);
    EXPECT_EQ(calls, 1);
    const auto twoAtATime = [&written](std::string_view rest, std::size_t& count) {
        count = std::min<std::size_t>(rest.size(), 2);
        written.append(rest.substr(0, count));
        return std::error_code{};
    };
    EXPECT_EQ(save::WriteInPieces("plans", twoAtATime, nothing), std::error_code());
    EXPECT_EQ(written, "plans");
}

// Keeping the permissions is a courtesy: where the file system refuses it, the plan is replaced whole.
TEST(LinuxReplaceTest, PermissionsTheFileSystemCannotHoldNeverStopASave) {
    ProgramFolder folders;
    WriteBytes(folders.plan, "earlier");
    refuseChmod = true;
    const std::error_code error = Save(folders.plan);
    refuseChmod = false;
    EXPECT_EQ(error, std::error_code());
    EXPECT_EQ(ReadBytes(folders.plan), kPlan);
    EXPECT_EQ(Entries(folders.app), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

// A plan the user may not write to stays as it is, even for root, who could: through a link, the file
// it points to decides; another user's plan is not replaced either.
TEST(LinuxReplaceTest, ReadOnlyOrForeignPlanIsNotReplaced) {
    ProgramFolder folders;
    const fs::path real = folders.elsewhere / "real.PLN";
    WriteBytes(real, "earlier");
    fs::permissions(real, fs::perms(0444));
    fs::create_symlink(real, folders.plan);
    EXPECT_EQ(SystemReason(Save(folders.plan)), u"Permission denied");
    EXPECT_EQ(ReadBytes(real), "earlier");
    EXPECT_EQ(PermissionsOf(real), fs::perms(0444));
    EXPECT_EQ(Entries(folders.app), std::vector<std::string>{"EAXA-EAXB.PLN"});
    EXPECT_EQ(Entries(folders.elsewhere), std::vector<std::string>{"real.PLN"});

    fs::remove(folders.plan);
    WriteBytes(folders.plan, "another user's");
    if (::chown(folders.plan.c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    EXPECT_EQ(SystemReason(Save(folders.plan)), u"Permission denied");
    EXPECT_EQ(ReadBytes(folders.plan), "another user's");
}

}  // namespace
}  // namespace dravik
