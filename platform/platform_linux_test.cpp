// What saving means on Linux: UTF-8 file names, the C library's words for failures, and
// replacing an earlier plan as a careful editor does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
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
// A well-formed name is spelt in the same bytes again.
TEST(PlatformTest, TextOfPathsAndMessages) {
    struct Row {
        const char* name;
        const char* bytes;
        TextView text;
        bool spelledBack;
    };
    const Row rows[] = {
        {"ASCII", "Permission denied", u"Permission denied", true},
        {"two, three and four bytes", "caf\xC3\xA9 \xE0\xA0\x80 \xF0\x9D\x84\x9E",
         u"caf\u00E9 \u0800 \U0001D11E", true},
        {"the edges of each length",
         "\x7F \xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xEF\xBF\xBF \xF0\x90\x80\x80 "
         "\xF4\x8F\xBF\xBF",
         u"\u007F \u0080 \u07FF \u0800 \uD7FF \uE000 \uFFFF \U00010000 \U0010FFFF", true},
        {"a byte no sequence starts with, one cut short", "bad \xFF end \xC3", u"bad \uFFFD end \uFFFD",
         false},
        {"a continuation too many", "\xC3\xA9\x80", u"\u00E9\uFFFD", false},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD", false},
        {"the last encoded surrogate", "\xED\xBF\xBF", u"\uFFFD", false},
        {"overlong, or past the last code point",
         "\xC1\xBF \xE0\x9F\xBF \xF0\x8F\xBF\xBF \xF4\x90\x80\x80 \xF5",
         u"\uFFFD\uFFFD \uFFFD \uFFFD \uFFFD \uFFFD", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TextFromSystem(row.bytes), row.text) << row.name;
        if (row.spelledBack) {
            EXPECT_EQ(PathFromText(row.text), fs::path(row.bytes)) << row.name;
        }
    }
    EXPECT_EQ(PathFromText(u"a\xD800-B.PLN"), std::nullopt);
    EXPECT_EQ(TextFromPath(fs::path("/tmp/\xC3\xA9")), u"/tmp/\u00E9");
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

// As the kernel does, forty links in a row are followed and the forty-first is refused: a loop is too.
TEST(LinuxReplaceTest, LinksEndAtForty) {
    for (const int links : {40, 41}) {
        ProgramFolder folders;
        const auto link = [&folders](int number) {
            return folders.elsewhere / ("link" + std::to_string(number));
        };
        WriteBytes(link(0), "earlier");
        for (int number = 1; number < links; ++number) {
            fs::create_symlink(link(number - 1), link(number));
        }
        fs::create_symlink(link(links - 1), folders.plan);
        const Text reason = links == 40 ? u"" : u"Too many levels of symbolic links";
        const std::error_code error = Save(folders.plan);
        EXPECT_EQ(error ? SystemReason(error) : Text(), reason) << links;
        EXPECT_EQ(ReadBytes(link(0)), links == 40 ? kPlan : "earlier") << links;
    }
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

// The calls a save makes, wrapped when the test program is linked, so that a row can say what the disk
// does: the first `passed` calls of one kind go through, the next `refused` fail with `error`, or for
// `error` 0 (a write only) write `written` bytes at most and say so. While a save runs, every descriptor
// opened and every close is counted.
struct Disk {
    std::string_view call;
    int error = 0;
    int passed = 0;
    int refused = 0;
    std::size_t written = 0;
    bool counting = false;
    int opened = 0;
    int closed = 0;
};
Disk disk;

bool Fails(std::string_view call) {
    if (!disk.counting || call != disk.call) {
        return false;
    }
    if (disk.passed > 0) {
        --disk.passed;
        return false;
    }
    if (disk.refused == 0) {
        return false;
    }
    --disk.refused;
    errno = disk.error;
    return true;
}

int Opened(int fd) {
    if (disk.counting && fd != -1) {
        ++disk.opened;
    }
    return fd;
}

}  // namespace

extern "C" {
int __real_chmod(const char* path, mode_t mode);
int __real_open(const char* path, int flags, ...);
int __real_open64(const char* path, int flags, ...);
ssize_t __real_write(int fd, const void* data, size_t size);
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);
int __real_close(int fd);

int __wrap_chmod(const char* path, mode_t mode) {
    return Fails("chmod") ? -1 : __real_chmod(path, mode);
}
// Declared as open(2) is: the mode is there only with O_CREAT.
int __wrap_open(const char* path, int flags, ...) {
    std::va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return Fails("open") ? -1 : Opened(__real_open(path, flags, mode));
}
// The 64-bit name of the same call, which some builds' open() becomes.
int __wrap_open64(const char* path, int flags, ...) {
    std::va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return Fails("open") ? -1 : Opened(__real_open64(path, flags, mode));
}
// A file system may write less than it was given, even nothing, and report success (FUSE ones do).
ssize_t __wrap_write(int fd, const void* data, size_t size) {
    if (!Fails("write")) {
        return __real_write(fd, data, size);
    }
    return disk.error != 0     ? -1
           : disk.written == 0 ? 0
                               : __real_write(fd, data, std::min(size, disk.written));
}
int __wrap_rename(const char* from, const char* to) {
    return Fails("rename") ? -1 : __real_rename(from, to);
}
int __wrap_fsync(int fd) {
    return Fails("fsync") ? -1 : __real_fsync(fd);
}
// A close that fails has let the descriptor go all the same, as Linux's does.
int __wrap_close(int fd) {
    if (disk.counting) {
        ++disk.closed;
    }
    const int result = __real_close(fd);
    return Fails("close") ? -1 : result;
}
}

namespace {

// A save either replaces the plan whole or leaves the earlier one as it was, never a temporary file
// behind, and closes each descriptor it opened once.
TEST(LinuxReplaceTest, WhatTheDiskDoesToASave) {
    struct Row {
        const char* name;
        Disk disk;
        bool earlier;     // a plan is there already
        TextView reason;  // empty: the save succeeds
    };
    const Row rows[] = {
        {"a FAT stick holds no permission bits", {"chmod", ENOSYS, 0, 1}, true, u""},
        {"the folder takes no new file", {"open", EACCES, 0, 1}, true, u"Permission denied"},
        {"a temporary name taken twice", {"open", EEXIST, 0, 2}, false, u""},
        {"every temporary name taken", {"open", EEXIST, 0, 100}, true, u"File exists"},
        {"the disk is full", {"write", ENOSPC, 0, 1}, true, u"No space left on device"},
        {"a signal interrupts the write", {"write", EINTR, 0, 3}, false, u""},
        {"the disk takes two bytes at a time", {"write", 0, 0, 10, 2}, false, u""},
        {"a write that writes nothing and says it did", {"write", 0, 0, 1, 0}, true, u"Input/output error"},
        {"the data does not reach the disk", {"fsync", EIO, 0, 1}, true, u"Input/output error"},
        {"a late write error at close", {"close", EIO, 0, 1}, true, u"Input/output error"},
        {"a folder put in the plan's place meanwhile", {"rename", EISDIR, 0, 1}, true, u"Is a directory"},
        {"the folder cannot be opened to sync it", {"open", EACCES, 1, 1}, false, u""},
        {"the folder cannot be synced", {"fsync", EIO, 1, 1}, true, u""},
    };
    for (const Row& row : rows) {
        ProgramFolder folders;
        if (row.earlier) {
            WriteBytes(folders.plan, "earlier");
        }
        disk = row.disk;
        disk.counting = true;
        const std::error_code error = Save(folders.plan);
        disk.counting = false;
        EXPECT_EQ(error ? SystemReason(error) : Text(), row.reason) << row.name;
        const bool kept = !row.reason.empty() && row.earlier;
        EXPECT_EQ(ReadBytes(folders.plan), kept ? "earlier" : row.reason.empty() ? kPlan : "") << row.name;
        const auto entries = kept || row.reason.empty() ? std::vector<std::string>{"EAXA-EAXB.PLN"}
                                                        : std::vector<std::string>{};
        EXPECT_EQ(Entries(folders.app), entries) << row.name;
        EXPECT_EQ(disk.closed, disk.opened) << row.name;
        EXPECT_EQ(disk.refused, 0) << row.name << ": the save stopped before all the refusals";
    }
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
