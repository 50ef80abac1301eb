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
    // Closes now so that a failing close is seen.
    std::error_code Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? std::error_code{} : LastError();
    }

private:
    HANDLE handle_;
};

// Removes the temporary file unless the save got as far as renaming it.
class TemporaryFile {
public:
    explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    [[nodiscard]] const std::wstring& path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::wstring path_;
};

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
    // Not target.filename(): the standard library reads a ":" inside the last component as the end of
    // a drive name and would hand back only what follows it.
    const std::wstring& native = target.native();
    const std::size_t separator = native.find_last_of(L"\\/");
    if (IsRefusedInFileName(separator == std::wstring::npos ? native : native.substr(separator + 1))) {
        return {ERROR_INVALID_NAME, std::system_category()};
    }
    std::wstring temporaryPath;
    Handle file(CreateTemporary(target, temporaryPath));
    if (!file.valid()) {
        return LastError();
    }
    TemporaryFile temporary(temporaryPath);
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) {
            return LastError();
        }
        bytes.remove_prefix(written);
    }
    // The data must be on disk before the rename makes it the plan.
    if (!FlushFileBuffers(file.get())) {
        return LastError();
    }
    if (auto error = file.Close()) {
        return error;
    }
    if (!MoveFileExW(temporary.path().c_str(), target.wstring().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    temporary.Keep();
    return {};
}

}  // namespace dravik
