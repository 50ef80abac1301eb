// The engine's platform pieces on Windows.
#include <windows.h>

#include <random>
#include <string>

#include "conversion/platform.h"

namespace dravik {

namespace {

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

std::wstring Wide(TextView text) {
    return {text.begin(), text.end()};
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

// The new file of a save: open until Close(), and deleted again unless Keep() is called once it has
// been moved into place. It is opened without sharing, so Windows deletes it only once it is closed:
// the destructor closes first.
class TemporaryFile {
public:
    TemporaryFile(HANDLE handle, std::wstring path) : handle_(handle), path_(std::move(path)) {}
    ~TemporaryFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    [[nodiscard]] HANDLE handle() const { return handle_; }
    [[nodiscard]] const std::wstring& path() const { return path_; }
    // Closes now so that a failing close is seen.
    std::error_code Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? std::error_code{} : LastError();
    }
    void Keep() { path_.clear(); }

private:
    HANDLE handle_;
    std::wstring path_;
};

// The attributes a replaced plan takes over from the earlier one.
DWORD KeptAttributes(DWORD earlier) {
    const DWORD kept = earlier & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept;
}

std::error_code WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return LastError();
        }
        bytes.remove_prefix(written);
    }
    return {};
}

// Where a plan that is a symbolic link (or another reparse point) really is, so that the link is kept
// and the file it points to replaced.
std::error_code FollowLink(std::wstring& path) {
    const Handle link(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link.valid()) {
        return LastError();
    }
    std::wstring resolved(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            link.get(), resolved.data(), static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return LastError();
        }
        if (length < resolved.size()) {
            resolved.resize(length);
            path = std::move(resolved);
            return {};
        }
        resolved.resize(length);  // too short: `length` is the size needed
    }
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

HANDLE CreateTemporary(const std::filesystem::path& target, std::wstring& created) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned> digit(0, 35);
    constexpr std::wstring_view kDigits = L"0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = L"." + target.filename().wstring() + L".";
        for (int i = 0; i < 8; ++i) {
            name += kDigits[digit(entropy)];
        }
        name += L".tmp";
        created = (target.parent_path() / name).wstring();
        const HANDLE file = CreateFileW(created.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::filesystem::path ProgramDirectory(std::error_code& error) {
    error.clear();
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            error = LastError();
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);  // a long path: try again with more room
    }
}

std::optional<std::string> EncodeCodePage(TextView text) {
    // Every character beyond U+FFFF and every lone surrogate becomes one "?" before the conversion,
    // so each counts once whatever the code page's own rule for them is.
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            wide += L'?';
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            wide += L'?';
        } else {
            wide += static_cast<wchar_t>(unit);
        }
    }
    if (wide.empty()) {
        return std::string();
    }
    const int wideLength = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, "?", nullptr);
    if (size <= 0) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, out.data(), size, "?",
                        nullptr);
    return out;
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
    const int length = static_cast<int>(message.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, message.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, message.data(), length, wide.data(), size);
    return {wide.begin(), wide.end()};
}

std::error_code ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    return ReplaceFileContents(target, bytes, &WriteAll);
}

std::error_code ReplaceFileContents(const std::filesystem::path& requested, std::string_view bytes,
                                    WriteStep write) {
    // Not requested.filename(): the standard library reads a ":" inside the last component as the end
    // of a drive name and would hand back only what follows it.
    std::wstring target = requested.native();
    const std::size_t separator = target.find_last_of(L"\\/");
    if (IsRefusedInFileName(separator == std::wstring::npos ? target : target.substr(separator + 1))) {
        return {ERROR_INVALID_NAME, std::system_category()};
    }
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (auto error = FollowLink(target)) {
            return error;
        }
        attributes = GetFileAttributesW(target.c_str());
    }
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    if (replacing && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return {ERROR_ACCESS_DENIED, std::system_category()};
    }

    std::wstring temporaryPath;
    const HANDLE handle = CreateTemporary(target, temporaryPath);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    TemporaryFile temporary(handle, std::move(temporaryPath));
    if (auto error = write(temporary.handle(), bytes)) {
        return error;
    }
    // The data must be on disk before the move makes it the plan.
    if (!FlushFileBuffers(temporary.handle())) {
        return LastError();
    }
    if (auto error = temporary.Close()) {
        return error;
    }
    // The plan keeps the earlier file's attributes (hidden, archive, ...). Not ReplaceFileW, which would
    // also keep its access rights: when it fails to move the new file in, it may already have removed
    // the earlier one.
    if (replacing && !SetFileAttributesW(temporary.path().c_str(), KeptAttributes(attributes))) {
        return LastError();
    }
    if (!MoveFileExW(temporary.path().c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    temporary.Keep();
    return {};
}

}  // namespace dravik
