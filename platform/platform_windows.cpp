// The engine's platform pieces on Windows.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/platform_windows.h"
#include "platform/save_steps.h"

namespace dravik {

namespace {

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

std::wstring Wide(TextView text) {
    return {text.begin(), text.end()};
}

// What a Win32 call that fills a buffer of characters gives, however long: `fill(buffer, size)` returns
// the length it wrote, or when the buffer is too short the size it needs (GetModuleFileNameW: the size it
// was given), or 0 when it fails, with GetLastError saying why.
template <typename Fill>
std::optional<std::wstring> Filled(Fill fill) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(std::max<std::size_t>(length, 2 * buffer.size()));
    }
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The attributes a replaced plan takes over from the earlier one.
DWORD KeptAttributes(DWORD earlier) {
    const DWORD kept = earlier & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept;
}

// Where a plan that is a symbolic link (or another reparse point) really is, so that the link is kept
// and the file it points to replaced.
std::error_code FollowLink(std::wstring& path) {
    const Handle link(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link.valid()) {
        return LastError();
    }
    std::optional<std::wstring> resolved = Filled([&link](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(link.get(), buffer, size, FILE_NAME_NORMALIZED);
    });
    if (!resolved) {
        return LastError();
    }
    path = std::move(*resolved);
    return {};
}

// Windows refuses these in a file name; some file systems (and Wine) would take a few of them, so
// they are refused here, in the system's own words, before anything is created.
bool IsRefusedInFileName(const std::wstring& name) {
    for (const wchar_t unit : name) {
        if (unit < 32 || std::wstring_view(L"<>:\"|?*/\\").find(unit) != std::wstring_view::npos) {
            return true;
        }
    }
    return false;
}

// Code pages whose conversion Microsoft documents as taking no flags (UTF-8 and GB18030 also take
// WC_ERR_INVALID_CHARS, which would refuse what a "?" should stand for) and, for UTF-7 and UTF-8, no
// default character. Windows refuses the call otherwise, though Wine accepts it. All of them can
// write every character of the Basic Multilingual Plane or have no default character of their own
// worth replacing, so nothing is lost by leaving both out.
bool TakesNoConversionFlags(unsigned codePage) {
    return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 54936 || codePage == 42 ||
           (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011);
}

// The full path of `path` as GetFullPathNameW makes it; the path itself when that fails.
std::wstring FullPath(const std::wstring& path) {
    return Filled([&path](wchar_t* buffer, DWORD size) {
               return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
           })
        .value_or(path);
}

// `path` with every short (8.3) component spelt out, so that two spellings of one folder compare equal.
std::wstring LongPath(const std::wstring& path) {
    return Filled(
               [&path](wchar_t* buffer, DWORD size) { return GetLongPathNameW(path.c_str(), buffer, size); })
        .value_or(path);
}

// A folder as one spelling, ending in one backslash, for comparing folders.
std::wstring FolderSpelling(const std::wstring& folder) {
    std::wstring spelt = LongPath(FullPath(folder));
    while (!spelt.empty() && (spelt.back() == L'\\' || spelt.back() == L'/')) {
        spelt.pop_back();
    }
    return spelt + L'\\';
}

}  // namespace

std::filesystem::path ProgramDirectory(std::error_code& error) {
    error.clear();
    const std::optional<std::wstring> program =
        Filled([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    if (!program) {
        error = LastError();
        return {};
    }
    return std::filesystem::path(*program).parent_path();
}

std::optional<std::string> EncodeCodePage(TextView text) {
    return EncodeCodePage(text, GetACP(),
                          [](unsigned codePage, unsigned long flags, const wchar_t* wide, int wideLength,
                             char* bytes, int size, const char* defaultChar, int* usedDefaultChar) -> int {
                              return WideCharToMultiByte(codePage, flags, wide, wideLength, bytes, size,
                                                         defaultChar, usedDefaultChar);
                          });
}

std::optional<std::string> EncodeCodePage(TextView text, unsigned codePage, WideToCodePage convert) {
    // Every character beyond U+FFFF and every lone surrogate becomes one "?" before the conversion,
    // so each counts once whatever the code page's own rule for them is.
    std::wstring wide;
    wide.reserve(text.size());
    ForEachCharacter(text, [&wide](char32_t character, bool lone) {
        wide += lone || character > 0xFFFF ? L'?' : static_cast<wchar_t>(character);
    });
    if (wide.empty()) {
        return std::string();
    }
    // Elsewhere no best fit: a character the code page lacks becomes "?", never a look-alike.
    const bool plain = TakesNoConversionFlags(codePage);
    const unsigned long flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* const defaultChar = plain ? nullptr : "?";
    const int wideLength = static_cast<int>(wide.size());
    const int size = convert(codePage, flags, wide.data(), wideLength, nullptr, 0, defaultChar, nullptr);
    if (size <= 0) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    if (convert(codePage, flags, wide.data(), wideLength, out.data(), size, defaultChar, nullptr) != size) {
        return std::nullopt;  // a short conversion would leave NUL bytes in the plan
    }
    return out;
}

std::wstring ExtendedPath(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        return path;
    }
    const std::wstring full = FullPath(path);
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);  // a share: \\?\UNC\server\share
    }
    return L"\\\\?\\" + full;
}

bool IsInTemporaryFolder(const std::filesystem::path& directory) {
    const std::optional<std::wstring> temporary =
        Filled([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
    if (!temporary) {
        return false;
    }
    const std::wstring inside = FolderSpelling(*temporary);
    const std::wstring folder = FolderSpelling(directory.native());
    // Compared as Windows compares file names: ordinal, ignoring case.
    return folder.size() >= inside.size() &&
           CompareStringOrdinal(folder.data(), static_cast<int>(inside.size()), inside.data(),
                                static_cast<int>(inside.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::filesystem::path> PathFromText(TextView name) {
    return std::filesystem::path(Wide(name));
}

Text TextFromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return {wide.begin(), wide.end()};
}

Text TextFromSystem(std::string_view message) {
    // System messages come in the ANSI code page and end with a line break that has no place here.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return {};
    }
    // The length goes with the data, so no terminating NUL is looked for (clang-tidy 19 cannot tell).
    const int length = static_cast<int>(message.size());
    // NOLINTNEXTLINE(bugprone-suspicious-stringview-data-usage)
    const int size = MultiByteToWideChar(CP_ACP, 0, message.data(), length, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    // NOLINTNEXTLINE(bugprone-suspicious-stringview-data-usage)
    const int converted = MultiByteToWideChar(CP_ACP, 0, message.data(), length, wide.data(), size);
    wide.resize(static_cast<std::size_t>(std::max(converted, 0)));
    return {wide.begin(), wide.end()};
}

char32_t MapLetterCase(char32_t codePoint, LetterCase to) {
    // Windows' own full Unicode mapping, independent of the user's locale.
    Text units;
    AppendCodePoint(units, codePoint);
    wchar_t mapped[4];
    const DWORD flags =
        (to == LetterCase::Lower ? LCMAP_LOWERCASE : LCMAP_UPPERCASE) | LCMAP_LINGUISTIC_CASING;
    // wchar_t is a UTF-16 unit on Windows, the same as char16_t.
    const int written = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, reinterpret_cast<LPCWSTR>(units.data()),
                                      static_cast<int>(units.size()), mapped, 4, nullptr, nullptr, 0);
    if (written == 1 && !IsHighSurrogate(static_cast<char16_t>(mapped[0]))) {
        return static_cast<char32_t>(mapped[0]);
    }
    if (written == 2 && IsHighSurrogate(static_cast<char16_t>(mapped[0])) &&
        IsLowSurrogate(static_cast<char16_t>(mapped[1]))) {
        return CombineSurrogates(static_cast<char16_t>(mapped[0]), static_cast<char16_t>(mapped[1]));
    }
    return codePoint;
}

Text SystemReason(const std::error_code& error) {
    if (error.category() != std::system_category()) {
        return TextFromSystem(error.message());
    }
    // Straight from the system in UTF-16, in the user's display language: libstdc++'s message() goes
    // through the ANSI code page and cuts the final period.
    wchar_t* words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    if (length == 0) {
        return TextFromSystem(error.message());
    }
    Text reason(words, words + length);
    LocalFree(words);
    while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r')) {
        reason.pop_back();
    }
    return reason;
}

namespace save {

std::error_code Resolve(const std::filesystem::path& requested, Target& target) {
    // Not requested.filename(): the standard library reads a ":" inside the last component as the end
    // of a drive name and would hand back only what follows it.
    const std::wstring& requestedPath = requested.native();
    const std::size_t separator = requestedPath.find_last_of(L"\\/");
    if (IsRefusedInFileName(separator == std::wstring::npos ? requestedPath
                                                            : requestedPath.substr(separator + 1))) {
        return {ERROR_INVALID_NAME, std::system_category()};
    }
    // Extended, so that the temporary file, whose name is longer than the plan's, can be made wherever
    // the plan's own path is valid.
    target.path = ExtendedPath(requestedPath);
    DWORD attributes = GetFileAttributesW(target.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (auto error = FollowLink(target.path)) {
            return error;
        }
        attributes = GetFileAttributesW(target.path.c_str());
    }
    target.replacing = attributes != INVALID_FILE_ATTRIBUTES;
    if (target.replacing) {
        // Moving a file over the plan asks only the folder for leave; ask the plan itself, so that one
        // the user may not write to stays as it is: by its access list, and by its read-only attribute,
        // asked on its own because not every system refuses to open such a file (Wine run by root).
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return {ERROR_ACCESS_DENIED, std::system_category()};
        }
        const Handle earlier(CreateFileW(target.path.c_str(), FILE_WRITE_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        if (!earlier.valid()) {
            return LastError();
        }
    }
    target.kept = target.replacing ? KeptAttributes(attributes) : 0;
    return {};
}

// Without sharing: nobody else opens the new file before it is the plan.
std::error_code CreateNew(const NativePath& path, NativeFile& file, bool& exists) {
    file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::error_code error = file == INVALID_HANDLE_VALUE ? LastError() : std::error_code{};
    exists = error.value() == ERROR_FILE_EXISTS;
    return error;
}

std::error_code WriteAll(NativeFile file, std::string_view bytes) {
    const auto piece = [file](std::string_view rest, std::size_t& written) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 30));
        DWORD wrote = 0;
        if (!WriteFile(file, rest.data(), chunk, &wrote, nullptr)) {
            return LastError();
        }
        written = wrote;
        return std::error_code{};
    };
    return WriteInPieces(bytes, piece, std::error_code(ERROR_WRITE_FAULT, std::system_category()));
}

std::error_code Sync(NativeFile file) {
    return FlushFileBuffers(file) ? std::error_code{} : LastError();
}

std::error_code Close(NativeFile file) {
    return CloseHandle(file) ? std::error_code{} : LastError();
}

// The attributes (hidden, archive, ...), not the access rights: ReplaceFileW would keep those too, but
// when it fails to move the new file in, it may already have removed the earlier one.
void TakeOverFromEarlier(const NativePath& path, const Target& target) {
    SetFileAttributesW(path.c_str(), static_cast<DWORD>(target.kept));
}

std::error_code MoveOver(const NativePath& from, const NativePath& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? std::error_code{}
               : LastError();
}

void Remove(const NativePath& path) {
    DeleteFileW(path.c_str());
}

void SyncFolder(const NativePath& /*folder*/) {
    // MoveFileExW's MOVEFILE_WRITE_THROUGH has made the move durable already.
}

}  // namespace save

}  // namespace dravik
