// What saving means on Windows: UTF-16 file names, the ANSI code page, the characters Windows refuses
// and the system's words for failures.
#include <windows.h>

#include <gtest/gtest.h>

#include "conversion/plan_file.h"
#include "conversion/platform.h"
#include "conversion/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

Text SystemWords(DWORD code) {
    return TextFromSystem(std::system_category().message(static_cast<int>(code)));
}

TEST(WindowsPlatformTest, AnsiCodePageIsWindows1252Here) {
    // The shared code-page table assumes it; a Western Windows or Wine in an English locale has it.
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(WindowsPlatformTest, ExecutableFolder) {
    std::error_code error;
    const std::filesystem::path directory = ProgramDirectory(error);
    ASSERT_FALSE(error) << error.message();
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(directory, std::filesystem::path(module).parent_path());
    EXPECT_TRUE(std::filesystem::exists(directory / "platform_windows_test.exe"));
}

TEST(WindowsPlatformTest, SystemMessagesHaveNoTrailingBreak) {
    const Text words = SystemWords(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(words.empty());
    EXPECT_NE(words.back(), u'\n');
    EXPECT_EQ(TextFromSystem("caf\xE9\r\n"), u"caf\u00E9");
}

TEST(WindowsSaveTest, RefusedCharactersFailInTheSystemsWords) {
    ScratchFolder folder;
    for (const char16_t refused : std::u16string_view(u"<>:\"|?*\t")) {
        const Text id = Text(u"A") + refused;
        const auto error = SavePlan(folder.path(), RouteOf(PointLine(id) + u"\r\n" + PointLine(u"B")));
        ASSERT_TRUE(error.has_value()) << static_cast<int>(refused);
        EXPECT_EQ(error->reason, SystemWords(ERROR_INVALID_NAME)) << static_cast<int>(refused);
        EXPECT_EQ(error->path, TextFromPath(folder.path() / "") + id + u"-B.PLN");
    }
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(WindowsSaveTest, NamesOutsideTheCodePageAreKept) {
    ScratchFolder folder;
    const Text listing = PointLine(u"\u03A9\u4E2D") + u"\r\n" + PointLine(u"\U0001D11E");
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(listing)), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() /
                                                 std::filesystem::path(L"\u03A9\u4E2D-\U0001D11E.PLN")));
}

TEST(WindowsSaveTest, ReplacesAndFailsLikeEverywhere) {
    ScratchFolder folder;
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing)), std::nullopt);
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing)), std::nullopt);
    EXPECT_EQ(ReadBytes(folder.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
    EXPECT_EQ(folder.Entries().size(), 1u);
    const auto missing = SavePlan(folder.path() / "missing", RouteOf(kExampleListing));
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->reason, SystemWords(ERROR_PATH_NOT_FOUND));
}

}  // namespace
}  // namespace dravik
