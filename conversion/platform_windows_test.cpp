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

// A save that fails part-way through its write leaves neither a temporary file nor a changed plan: the
// temporary file is still open when the write fails, and must be closed before it can be deleted.
TEST(WindowsSaveTest, FailedWriteLeavesNothingBehind) {
    ScratchFolder folder;
    const auto plan = folder.path() / "EAXA-EAXB.PLN";
    WriteBytes(plan, "earlier");
    const WriteStep halfThenDiskFull = [](NativeFile file, std::string_view bytes) -> std::error_code {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() / 2), &written, nullptr);
        return {ERROR_DISK_FULL, std::system_category()};
    };
    EXPECT_EQ(ReplaceFileContents(plan, ExampleFileBytes(), halfThenDiskFull),
              std::error_code(ERROR_DISK_FULL, std::system_category()));
    EXPECT_EQ(ReadBytes(plan), "earlier");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

TEST(WindowsSaveTest, ReadOnlyPlanIsNotReplaced) {
    ScratchFolder folder;
    const auto plan = folder.path() / "EAXA-EAXB.PLN";
    WriteBytes(plan, "earlier");
    ASSERT_TRUE(SetFileAttributesW(plan.c_str(), FILE_ATTRIBUTE_READONLY));
    const auto error = SavePlan(folder.path(), RouteOf(kExampleListing));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->reason, SystemWords(ERROR_ACCESS_DENIED));  // "Access is denied."
    EXPECT_EQ(ReadBytes(plan), "earlier");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
    SetFileAttributesW(plan.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsSaveTest, ReplacedPlanKeepsItsAttributes) {
    ScratchFolder folder;
    const auto plan = folder.path() / "EAXA-EAXB.PLN";
    WriteBytes(plan, "earlier");
    ASSERT_TRUE(SetFileAttributesW(plan.c_str(), FILE_ATTRIBUTE_HIDDEN));
    if ((GetFileAttributesW(plan.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0) {
        GTEST_SKIP() << "this file system keeps no attributes (Wine on a file system without xattrs)";
    }
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing)), std::nullopt);
    EXPECT_EQ(ReadBytes(plan), ExampleFileBytes());
    EXPECT_NE(GetFileAttributesW(plan.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

TEST(WindowsSaveTest, LinkedPlanIsReplacedWhereTheLinkPoints) {
    ScratchFolder folder;
    const auto plan = folder.path() / "EAXA-EAXB.PLN";
    std::filesystem::create_directory(folder.path() / "elsewhere");
    const auto real = folder.path() / "elsewhere" / "real.PLN";
    WriteBytes(real, "earlier");
    if (!CreateSymbolicLinkW(plan.c_str(), real.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        GetFileAttributesW(plan.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "this system makes no symbolic links for us (Wine only pretends to)";
    }
    EXPECT_EQ(SavePlan(folder.path(), RouteOf(kExampleListing)), std::nullopt);
    EXPECT_NE(GetFileAttributesW(plan.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(ReadBytes(real), ExampleFileBytes());
    EXPECT_EQ(Entries(folder.path() / "elsewhere"), std::vector<std::string>{"real.PLN"});
}

}  // namespace
}  // namespace dravik
