// What Windows and Explorer read from dravik.exe itself: its manifest, its version information and its
// icon. The program's path is the first argument.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
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

TEST(ResourcesTest, ManifestAsksForVisualStylesAndPerMonitorDpi) {
    const Resources resources;
    ASSERT_NE(resources.module(), nullptr);
    const std::string manifest = resources.Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty()) << "no manifest resource with ID 1";
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"),
              std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);  // Windows 10, 11
    EXPECT_NE(manifest.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"), std::string::npos);  // Windows 7
    EXPECT_EQ(manifest.find("<activeCodePage"), std::string::npos);  // plans stay in the ANSI code page
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

// The first icon group is the one Explorer and the taskbar show; it holds the route in four sizes.
TEST(ResourcesTest, FirstIconGroupHoldsFourSizes) {
    const Resources resources;
    LPWSTR first = nullptr;
    EnumResourceNamesW(resources.module(), RT_GROUP_ICON, &First, reinterpret_cast<LONG_PTR>(&first));
    ASSERT_NE(first, nullptr) << "no icon group";
    ASSERT_TRUE(IS_INTRESOURCE(first));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(first), 1u);

    const std::string group = resources.Bytes(RT_GROUP_ICON, first);
    // A header of three WORDs, then one 14-byte entry per image: width and height first, 0 for 256.
    ASSERT_GE(group.size(), 6u);
    WORD count = 0;
    std::memcpy(&count, group.data() + 4, sizeof count);
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::vector<int> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        const auto width = static_cast<unsigned char>(group[6 + 14 * i]);
        const auto height = static_cast<unsigned char>(group[6 + 14 * i + 1]);
        EXPECT_EQ(width, height);
        sizes.push_back(width == 0 ? 256 : width);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));
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
