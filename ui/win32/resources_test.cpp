// What Windows and Explorer read from dravik.exe itself: its manifest, its version information and its
// icon. The program's path is the first argument.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::wstring program;  // the path of dravik.exe, from the command line

// dravik.exe loaded as data, not to run.
class Resources {
public:
    Resources()
        : module_(LoadLibraryExW(program.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Resources() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    [[nodiscard]] HMODULE module() const { return module_; }

    // The bytes of one resource; empty when there is none.
    [[nodiscard]] std::string Bytes(const wchar_t* type, const wchar_t* name) const {
        HRSRC found = FindResourceW(module_, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return {data, SizeofResource(module_, found)};
    }

private:
    HMODULE module_;
};

// A setting of the manifest as Windows read it into `context`; "(none)" when it holds none.
std::wstring Setting(HANDLE context, const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, space, name, value, std::size(value), &written)) {
        return L"(none)";
    }
    return value;
}

// Windows ignores a manifest it cannot read, and a misspelt element or namespace in it, without a word.
// So the manifest of dravik.exe is read the way the loader reads it, into an activation context, and
// the test asks Windows what it took from it.
TEST(ResourcesTest, WindowsTakesTheManifestsSettings) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest was refused: error " << GetLastError();
    const std::unique_ptr<void, decltype(&ReleaseActCtx)> release(context, &ReleaseActCtx);

    constexpr const wchar_t* k2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
    constexpr const wchar_t* k2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    constexpr const wchar_t* k2019 = L"http://schemas.microsoft.com/SMI/2019/WindowsSettings";
    EXPECT_EQ(Setting(context, k2016, L"dpiAwareness"), L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(Setting(context, k2005, L"dpiAware"), L"true/pm");
    EXPECT_EQ(Setting(context, k2016, L"longPathAware"), L"true");
    EXPECT_EQ(Setting(context, k2019, L"activeCodePage"), L"(none)");  // plans stay in the ANSI code page

    // Visual styles: within the context, the common controls are those of version 6.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    const std::unique_ptr<HINSTANCE__, decltype(&FreeLibrary)> controls(LoadLibraryW(L"comctl32.dll"),
                                                                        &FreeLibrary);
    DeactivateActCtx(0, cookie);
    ASSERT_NE(controls, nullptr);
    // Windows keeps them in the side-by-side store, in a folder named after the assembly and its version
    // (Wine's copy there calls itself 5.80, so the folder is what tells).
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(controls.get(), path, MAX_PATH), 0u);
    CharLowerW(path);
    EXPECT_NE(std::wstring_view(path).find(
                  L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring_view::npos)
        << std::string(path, path + wcslen(path));

    // Supported systems: Windows 7 to 11, so that Windows reports its own version to the program.
    std::vector<char> buffer(4096);
    SIZE_T needed = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer.data(),
                             buffer.size(), &needed));
    // The layout of each element grew with Windows 10; the count leads, and each system's id is in it.
    DWORD count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    EXPECT_EQ(count, 4u);
    const std::string_view bytes(buffer.data(), needed);
    for (const wchar_t* id : {L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // Windows 7
                              L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",     // Windows 8
                              L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",     // Windows 8.1
                              L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // Windows 10 and 11
        GUID guid{};
        ASSERT_EQ(CLSIDFromString(id, &guid), S_OK);
        EXPECT_NE(bytes.find(std::string_view(reinterpret_cast<const char*>(&guid), sizeof guid)),
                  std::string_view::npos)
            << std::string(id, id + wcslen(id));
    }
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        length == 0) {
        return L"(none)";
    }
    return {value, wcsnlen(value, length)};
}

TEST(ResourcesTest, VersionInformation) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string version = DRAVIK_VERSION;
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, version);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    const std::wstring wideVersion(version.begin(), version.end());
    EXPECT_EQ(VersionString(info, L"FileVersion"), wideVersion);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), wideVersion);
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"Dravik");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Dravik");
    EXPECT_EQ(VersionString(info, L"InternalName"), L"dravik");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"dravik.exe");
}

BOOL CALLBACK First(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}

// The first icon group is the one Explorer and the taskbar show: the route, whose four sizes are the
// icon file's (the Qt window's test reads them).
TEST(ResourcesTest, FirstIconGroupIsTheRoutesFourSizes) {
    const Resources resources;
    LPWSTR first = nullptr;
    EnumResourceNamesW(resources.module(), RT_GROUP_ICON, &First, reinterpret_cast<LONG_PTR>(&first));
    ASSERT_NE(first, nullptr) << "no icon group";
    ASSERT_TRUE(IS_INTRESOURCE(first));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(first), 1u);
    // A header of three WORDs, the last the number of images, then one 14-byte entry per image.
    const std::string group = resources.Bytes(RT_GROUP_ICON, first);
    EXPECT_EQ(group.size(), 6u + 14u * 4u);
    EXPECT_EQ(group.substr(4, 2), std::string("\x04\x00", 2));
}

}  // namespace

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: resources_test <dravik.exe>\n");
        return 2;
    }
    program = std::wstring(argv[1], argv[1] + std::strlen(argv[1]));
    return RUN_ALL_TESTS();
}
