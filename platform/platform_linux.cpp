// The engine's platform pieces on Linux: the program's folder from /proc, UTF-8 file names, the C
// library's words and case tables, and the save's steps through POSIX calls.
#include <cerrno>
#include <clocale>
#include <cwctype>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/save_steps.h"
#include "platform/simulator_code_page.h"

namespace dravik {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

class FileDescriptor {
public:
    // Only for a descriptor that open() gave.
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { ::close(fd_); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

// Where the file at `path` really is: symbolic links followed, as the system would, relative to the
// folder of the link.
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
        while (used < length && i + used < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + used]) & 0xC0) == 0x80) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[i + used]) & 0x3Fu);
            ++used;
        }
        const bool valid = used == length && codePoint >= minimum && codePoint <= 0x10FFFF &&
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
    // read_symlink sets `error`, clearing it on success.
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : executable.parent_path();
}

std::optional<std::string> EncodeCodePage(TextView text) {
    return EncodeWindows1252(text);
}

std::optional<std::filesystem::path> PathFromText(TextView name) {
    std::string utf8;
    utf8.reserve(name.size());
    bool spellable = true;  // UTF-8 has no spelling for a lone surrogate
    ForEachCharacter(name, [&](char32_t character, bool lone) {
        spellable = spellable && !lone;
        AppendUtf8(utf8, character);
    });
    if (!spellable) {
        return std::nullopt;
    }
    return std::filesystem::path(std::move(utf8));
}

Text TextFromPath(const std::filesystem::path& path) {
    return DecodeUtf8(path.native());
}

Text TextFromSystem(std::string_view message) {
    return DecodeUtf8(message);
}

namespace {

// The C library's UTF-8 locale, made once for the process: making one for each letter took 29 µs, so a
// name of a million accented letters kept the click busy for half a minute.
class Utf8Locale {
public:
    Utf8Locale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {}
    ~Utf8Locale() {
        if (locale_ != locale_t{}) {
            freelocale(locale_);
        }
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;
    [[nodiscard]] locale_t get() const { return locale_; }

private:
    locale_t locale_;
};

}  // namespace

char32_t MapLetterCase(char32_t codePoint, LetterCase to) {
    // The full Unicode mapping of a locale made for the purpose, so that the result never depends on the
    // user's locale.
    static const Utf8Locale utf8;
    if (utf8.get() == locale_t{}) {
        return codePoint;
    }
    const auto wide = static_cast<wint_t>(codePoint);
    return static_cast<char32_t>(to == LetterCase::Lower ? towlower_l(wide, utf8.get())
                                                         : towupper_l(wide, utf8.get()));
}

Text SystemReason(const std::error_code& error) {
    return TextFromSystem(error.message());
}

// A Linux desktop keeps what a user unpacked where the user put it; only Windows runs a program from
// inside a zip out of its temporary folder.
bool IsInTemporaryFolder(const std::filesystem::path& /*directory*/) {
    return false;
}

namespace save {

std::error_code Resolve(const std::filesystem::path& requested, Target& target) {
    std::error_code error;
    const std::filesystem::path path = FollowLinks(requested, error);
    if (error) {
        return error;
    }
    // Set before any refusal, so that a refusal that went missing would show where the link points.
    target.path = path.native();
    struct stat earlier {};
    target.replacing = ::stat(path.c_str(), &earlier) == 0;
    // A link to no file is refused, as Windows refuses it: a save never makes a file at a place that
    // only a link names.
    if (!target.replacing && (errno != ENOENT || path != requested)) {
        return LastError();
    }
    if (target.replacing) {
        if (auto refused = CheckReplaceable(earlier)) {
            return refused;
        }
        target.kept = earlier.st_mode & 07777;
    }
    return {};
}

// Mode 0666 less the umask, as any new file of the user's gets.
std::error_code CreateNew(const NativePath& path, NativeFile& file, bool& exists) {
    file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    exists = file == -1 && errno == EEXIST;
    return file == -1 ? LastError() : std::error_code{};
}

std::error_code WriteAll(NativeFile file, std::string_view bytes) {
    const auto piece = [file](std::string_view rest, std::size_t& written) {
        ssize_t result = 0;
        do {
            result = ::write(file, rest.data(), rest.size());
        } while (result == -1 && errno == EINTR);
        if (result == -1) {
            return LastError();
        }
        written = static_cast<std::size_t>(result);
        return std::error_code{};
    };
    return WriteInPieces(bytes, piece, std::error_code(EIO, std::system_category()));
}

std::error_code Sync(NativeFile file) {
    return ::fsync(file) == 0 ? std::error_code{} : LastError();
}

std::error_code Close(NativeFile file) {
    return ::close(file) == 0 ? std::error_code{} : LastError();
}

void TakeOverFromEarlier(const NativePath& path, const Target& target) {
    // A FAT stick, for one, refuses it ("Function not implemented"); the plan is replaced all the same.
    static_cast<void>(::chmod(path.c_str(), static_cast<mode_t>(target.kept)));
}

std::error_code MoveOver(const NativePath& from, const NativePath& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code{} : LastError();
}

void Remove(const NativePath& path) {
    ::unlink(path.c_str());
}

void SyncFolder(const NativePath& folder) {
    const int opened = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (opened == -1) {
        return;  // the plan is in place; only how soon it is on disk is left to the system
    }
    const FileDescriptor directory(opened);
    ::fsync(directory.get());
}

}  // namespace save

}  // namespace dravik
