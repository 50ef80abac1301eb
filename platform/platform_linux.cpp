// The engine's platform pieces on Linux and other POSIX systems.
#include <cerrno>
#include <clocale>
#include <cwctype>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/windows_1252.h"

namespace dravik {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

// The new file of a save: open until Close(), and removed again unless Keep() is called once it has
// been renamed into place.
class TemporaryFile {
public:
    TemporaryFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    ~TemporaryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    [[nodiscard]] int fd() const { return fd_; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // Closes now so that a failing close, which can report a late write error, is seen.
    std::error_code Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? std::error_code{} : LastError();
    }
    void Keep() { path_.clear(); }

private:
    int fd_;
    std::filesystem::path path_;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// Opens a fresh file beside `target` under a name nobody else uses; mode 0666 less the umask, as any
// new file of the user's would get.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& created) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned> digit(0, 35);
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + target.filename().string() + ".";
        for (int i = 0; i < 8; ++i) {
            name += kDigits[digit(entropy)];
        }
        name += ".tmp";
        created = target.parent_path() / name;
        const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Where the file at `path` really is: symbolic links followed, as the system would, relative to the
// folder of the link. The last link may point to nothing yet; that is where a new file goes.
std::filesystem::path FollowLinks(std::filesystem::path path, std::error_code& error) {
    constexpr int kMostLinks = 40;  // as many as the kernel follows before ELOOP
    for (int links = 0; links <= kMostLinks; ++links) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        const std::filesystem::path pointee = std::filesystem::read_symlink(path, error);
        if (error) {
            return {};
        }
        path = pointee.is_absolute() ? pointee : path.parent_path() / pointee;
    }
    error = {ELOOP, std::generic_category()};
    return {};
}

// Renaming over a file gives the folder's owner a new file; only replace one the user owns and may
// write to, so that a read-only plan, or another user's, is never swapped out behind their back.
// Root, who may write anything, still respects a file without write permission.
std::error_code CheckReplaceable(const struct stat& earlier) {
    if (S_ISDIR(earlier.st_mode)) {
        return {EISDIR, std::generic_category()};
    }
    if (!S_ISREG(earlier.st_mode) || earlier.st_uid != ::geteuid() || (earlier.st_mode & S_IWUSR) == 0) {
        return {EACCES, std::generic_category()};
    }
    return {};
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Decodes UTF-8 the way a careful reader does: every ill-formed sequence becomes one U+FFFD.
Text DecodeUtf8(std::string_view bytes) {
    Text out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        char32_t codePoint = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, codePoint = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, codePoint = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, codePoint = lead & 0x07u, minimum = 0x10000;
        }
        std::size_t used = 1;
        while (length != 0 && used < length && i + used < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + used]) & 0xC0) == 0x80) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[i + used]) & 0x3Fu);
            ++used;
        }
        const bool valid = length != 0 && used == length && codePoint >= minimum && codePoint <= 0x10FFFF &&
                           (codePoint < 0xD800 || codePoint > 0xDFFF);
        if (!valid) {
            out += kReplacement;
            i += used;
            continue;
        }
        AppendCodePoint(out, codePoint);
        i += used;
    }
    return out;
}

}  // namespace

std::filesystem::path ProgramDirectory(std::error_code& error) {
    error.clear();
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : executable.parent_path();
}

std::optional<std::string> EncodeCodePage(TextView text) {
    return EncodeWindows1252(text);
}

std::optional<std::filesystem::path> PathFromText(TextView name) {
    std::string utf8;
    utf8.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i];
        if (IsHighSurrogate(unit) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
            AppendUtf8(utf8, CombineSurrogates(unit, name[i + 1]));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            return std::nullopt;
        } else {
            AppendUtf8(utf8, unit);
        }
    }
    return std::filesystem::path(std::move(utf8));
}

Text TextFromPath(const std::filesystem::path& path) {
    return DecodeUtf8(path.native());
}

Text TextFromSystem(std::string_view message) {
    return DecodeUtf8(message);
}

char32_t MapLetterCase(char32_t codePoint, LetterCase to) {
    // The C library's full Unicode mapping, through a UTF-8 locale made for the purpose (built into the
    // C library, so making it is cheap), so that the result never depends on the user's locale.
    const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (utf8 == locale_t{}) {
        return codePoint;
    }
    const auto wide = static_cast<wint_t>(codePoint);
    const auto mapped =
        static_cast<char32_t>(to == LetterCase::Lower ? towlower_l(wide, utf8) : towupper_l(wide, utf8));
    freelocale(utf8);
    return mapped;
}

Text SystemReason(const std::error_code& error) {
    return TextFromSystem(error.message());
}

// A Linux desktop keeps what a user unpacked where the user put it; only Windows runs a program from
// inside a zip out of its temporary folder.
bool IsInTemporaryFolder(const std::filesystem::path& /*directory*/) {
    return false;
}

std::error_code ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    return ReplaceFileContents(target, bytes, &WriteAll);
}

std::error_code ReplaceFileContents(const std::filesystem::path& requested, std::string_view bytes,
                                    WriteStep write) {
    std::error_code error;
    const std::filesystem::path target = FollowLinks(requested, error);
    if (error) {
        return error;
    }
    struct stat earlier {};
    const bool replacing = ::stat(target.c_str(), &earlier) == 0;
    if (!replacing && errno != ENOENT) {
        return LastError();
    }
    if (replacing) {
        if (auto refused = CheckReplaceable(earlier)) {
            return refused;
        }
    }
    // Made before the rename, so that nothing after it can fail for want of memory.
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";

    std::filesystem::path temporaryPath;
    const int fd = CreateTemporary(target, temporaryPath);
    if (fd < 0) {
        return LastError();
    }
    TemporaryFile temporary(fd, std::move(temporaryPath));
    // Keeping the earlier plan's permissions is a courtesy where the file system can hold them: a FAT
    // stick, for one, refuses the call ("Function not implemented"), and the plan is replaced all the same.
    if (replacing) {
        static_cast<void>(::fchmod(temporary.fd(), earlier.st_mode & 07777));
    }
    if (auto failed = write(temporary.fd(), bytes)) {
        return failed;
    }
    // The data must be on disk before the rename makes it the plan, or a crash could leave an empty file.
    if (::fsync(temporary.fd()) != 0) {
        return LastError();
    }
    if (auto failed = temporary.Close()) {
        return failed;
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        return LastError();
    }
    temporary.Keep();
    // Make the rename itself durable; the plan is already complete, so a failure here changes nothing.
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
    return {};
}

}  // namespace dravik
