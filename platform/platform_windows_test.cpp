// What saving means on Windows: UTF-16 file names, the ANSI code page, paths beyond 260 characters,
// the temporary folder and the system's words for failures.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "platform/platform.h"
#include "platform/platform_windows.h"
#include "platform/save_steps.h"
#include "testing/folders.h"
#include "testing/system_words.h"

namespace dravik {
namespace {

using namespace testkit;

// A plan's bytes; what they say does not matter here.
const std::string kPlan = "[flightplan]\r\ntitle=EAXA to EAXB\r\n";

// One row per code page a test run is started in (LANG under Wine: en_US 1252, ru_RU 1251, tr_TR 1254,
// ja_JP 932, hi_IN 65001): an identifier and its bytes in that code page, "?" where it has no byte.
struct CodePageRow {
    unsigned codePage;
    Text id;
    std::string bytes;
};

const CodePageRow kCodePageRows[] = {
    {1252, u"\u00C9T\u00C9\u0416", "\xC9T\xC9?"},
    {1251, u"\u0416\u0423\u041A\u00C9", "\xC6\xD3\xCA?"},
    {1254, u"\u011E\u0130\u015E\u0416", "\xD0\xDD\xDE?"},
    {932, u"\u6771\u4EAC\u00C9", "\x93\x8C\x8B\x9E?"},
    {65001, u"\u0416\u00C9\U0001D11E", "\xD0\x96\xC3\x89?"},
};

// The plan is written in the system's ANSI code page, whichever it is; its file name is Unicode.
TEST(WindowsPlatformTest, PlanIsInTheSystemsCodePage) {
    if (const char* expected = std::getenv("DRAVIK_TEST_CODE_PAGE")) {  // set where a locale was chosen
        ASSERT_EQ(std::to_string(GetACP()), expected);
    }
    const auto row = std::find_if(std::begin(kCodePageRows), std::end(kCodePageRows),
                                  [](const CodePageRow& r) { return r.codePage == GetACP(); });
    ASSERT_NE(row, std::end(kCodePageRows)) << "no row for code page " << GetACP();
    const std::optional<std::string> bytes = EncodeCodePage(u"title=" + row->id + u" to B");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "title=" + row->bytes + " to B");
    ScratchFolder folder;
    const std::optional<std::filesystem::path> name = PathFromText(row->id + u"-B.PLN");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(ReplaceFileContents(folder.path() / *name, *bytes), std::error_code());
    const std::wstring wide = std::wstring(row->id.begin(), row->id.end()) + L"-B.PLN";
    EXPECT_EQ(ReadBytes(folder.path() / wide), *bytes);
}

// WideCharToMultiByte as Windows checks its arguments, where Wine accepts anything: for UTF-8 (and a few
// others) no flags but WC_ERR_INVALID_CHARS, and for UTF-7 and UTF-8 no default character.
int __stdcall StrictConversion(unsigned codePage, unsigned long flags, const wchar_t* wide, int wideLength,
                               char* bytes, int size, const char* defaultChar, int* usedDefaultChar) {
    if (codePage == CP_UTF8 && (flags & ~static_cast<unsigned long>(WC_ERR_INVALID_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (codePage == CP_UTF8 && (defaultChar != nullptr || usedDefaultChar != nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return WideCharToMultiByte(codePage, flags, wide, wideLength, bytes, size, defaultChar, usedDefaultChar);
}

// Converts one character less than it was asked to, as a failing second call could.
int __stdcall ShortConversion(unsigned codePage, unsigned long flags, const wchar_t* wide, int wideLength,
                              char* bytes, int size, const char* defaultChar, int* usedDefaultChar) {
    const int needed =
        WideCharToMultiByte(codePage, flags, wide, wideLength, nullptr, 0, defaultChar, nullptr);
    if (bytes == nullptr) {
        return needed;
    }
    return WideCharToMultiByte(codePage, flags, wide, wideLength - 1, bytes, size, defaultChar,
                               usedDefaultChar);
}

TEST(WindowsPlatformTest, CodePageConversionIsCalledAsDocumented) {
    const Text text = u"N55\u00B0 \u0416 \U0001D11E \xD800";
    EXPECT_EQ(EncodeCodePage(text, CP_UTF8, &StrictConversion), "N55\xC2\xB0 \xD0\x96 ? ?");
    EXPECT_EQ(EncodeCodePage(text, 1252, &StrictConversion), "N55\xB0 ? ? ?");
    EXPECT_EQ(EncodeCodePage(text, 1252, &ShortConversion), std::nullopt);
}

TEST(WindowsPlatformTest, ExtendedPathsLiftTheLengthLimit) {
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"C:\\Dravik\\A-B.PLN", L"\\\\?\\C:\\Dravik\\A-B.PLN"},
        {L"C:/Dravik/sub/../A-B.PLN", L"\\\\?\\C:\\Dravik\\A-B.PLN"},
        {L"\\\\server\\share\\A-B.PLN", L"\\\\?\\UNC\\server\\share\\A-B.PLN"},
        {L"\\\\?\\C:\\Dravik\\A-B.PLN", L"\\\\?\\C:\\Dravik\\A-B.PLN"},
    };
    for (const auto& [path, extended] : rows) {
        EXPECT_EQ(ExtendedPath(path), extended);
    }
}

// A plan whose own path fits in 260 characters is saved, though its temporary file's path does not.
TEST(WindowsPlatformTest, LongFolderStillSaves) {
    ScratchFolder folder;
    std::filesystem::path deep = folder.path();
    while (deep.native().size() < 236) {
        deep /= std::wstring(std::min<std::size_t>(60, 236 - deep.native().size() + 1), L'd');
    }
    std::filesystem::create_directories(deep);
    ASSERT_LT((deep / "EAXA-EAXB.PLN").native().size(), 260u);
    ASSERT_GT((deep / ".EAXA-EAXB.PLN.12345678.tmp").native().size(), 260u);
    EXPECT_EQ(ReplaceFileContents(deep / "EAXA-EAXB.PLN", kPlan), std::error_code());
    EXPECT_EQ(ReadBytes(deep / "EAXA-EAXB.PLN"), kPlan);
}

// Run from inside a zip, the program's folder is in the temporary folder, which the system may empty.
// The temporary folder is compared as a path, not by its name.
TEST(WindowsPlatformTest, TemporaryFolderIsRecognisedAsAPath) {
    wchar_t temporary[MAX_PATH + 1];
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temporary), 0u);
    const std::filesystem::path temp(temporary);
    ScratchFolder inside(temp);
    ScratchFolder beside;
    std::filesystem::create_directories(beside.path() / "Temp" / "Temp1_dravik.zip");
    const std::pair<std::filesystem::path, bool> rows[] = {
        {temp, true},
        {inside.path(), true},
        {std::filesystem::path(inside.path().wstring() + L"\\"), true},
        {std::filesystem::path(CharUpperW(inside.path().wstring().data())), true},
        {temp.parent_path().parent_path(), false},
        {beside.path() / "Temp" / "Temp1_dravik.zip", false},
    };
    for (const auto& [folder, temporaryFolder] : rows) {
        EXPECT_EQ(IsInTemporaryFolder(folder), temporaryFolder) << folder;
    }
}

// The system's reason as Windows words it, period kept, final line break gone ("Access is denied." on an
// English Windows, "Access denied." under Wine).
TEST(WindowsPlatformTest, ReasonsAreTheSystemsWords) {
    const Text reason = SystemReason({ERROR_ACCESS_DENIED, std::system_category()});
    EXPECT_EQ(reason, SystemWords(ERROR_ACCESS_DENIED));
    ASSERT_FALSE(reason.empty());
    EXPECT_EQ(reason.back(), u'.');
    EXPECT_EQ(TextFromSystem("caf\xE9\r\n"), u"caf\u00E9");
}

// The program's folder with an earlier plan in it, which a save that fails must leave as it was, alone.
class WindowsSaveTest : public ::testing::Test {
protected:
    void SetUp() override { WriteBytes(folders_.plan, "earlier"); }
    void ExpectEarlierKept() const {
        EXPECT_EQ(ReadBytes(folders_.plan), "earlier");
        EXPECT_EQ(folders_.AppEntries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
    }

    ProgramFolder folders_;
    const std::filesystem::path& plan = folders_.plan;
};

// A save that fails part-way through its write leaves neither a temporary file nor a changed plan: the
// temporary file is still open when the write fails, and must be closed before it can be deleted.
TEST_F(WindowsSaveTest, FailedWriteLeavesNothingBehind) {
    const WriteStep halfThenDiskFull = [](NativeFile file, std::string_view bytes) -> std::error_code {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() / 2), &written, nullptr);
        return {ERROR_DISK_FULL, std::system_category()};
    };
    EXPECT_EQ(ReplaceFileContents(plan, kPlan, halfThenDiskFull),
              std::error_code(ERROR_DISK_FULL, std::system_category()));
    ExpectEarlierKept();
}

TEST_F(WindowsSaveTest, ReplacedPlanKeepsItsAttributes) {
    ASSERT_TRUE(SetFileAttributesW(plan.c_str(), FILE_ATTRIBUTE_HIDDEN));
    if ((GetFileAttributesW(plan.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0) {
        GTEST_SKIP() << "this file system keeps no attributes (Wine on a file system without xattrs)";
    }
    EXPECT_EQ(ReplaceFileContents(plan, kPlan), std::error_code());
    EXPECT_EQ(ReadBytes(plan), kPlan);
    EXPECT_NE(GetFileAttributesW(plan.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(folders_.AppEntries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

// A plan whose access list keeps the user from writing to it stays, though the folder would let the
// user move another file over it.
TEST_F(WindowsSaveTest, PlanTheUserMayNotWriteToIsKept) {
    // Everyone is denied writing to the file's data, and allowed the rest.
    PSECURITY_DESCRIPTOR noWriting = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;0x6;;;WD)(A;;FA;;;WD)",
                                                                     SDDL_REVISION_1, &noWriting, nullptr));
    const BOOL set = SetFileSecurityW(plan.c_str(), DACL_SECURITY_INFORMATION, noWriting);
    LocalFree(noWriting);
    ASSERT_TRUE(set);
    const HANDLE probe =
        CreateFileW(plan.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this system keeps a file's access list but does not enforce it (Wine)";
    }
    EXPECT_EQ(ReplaceFileContents(plan, kPlan), std::error_code(ERROR_ACCESS_DENIED, std::system_category()));
    ExpectEarlierKept();
}

// A plan another program holds open, letting others only read it, is not replaced, and nothing is left
// behind: the save asks the plan itself before it writes anything.
TEST_F(WindowsSaveTest, PlanAnotherProgramHoldsOpenIsKept) {
    const HANDLE reader =
        CreateFileW(plan.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const std::error_code error = ReplaceFileContents(plan, kPlan);
    CloseHandle(reader);
    EXPECT_EQ(error, std::error_code(ERROR_SHARING_VIOLATION, std::system_category()));
    ExpectEarlierKept();
}

TEST_F(WindowsSaveTest, LinkedPlanIsReplacedWhereTheLinkPoints) {
    std::filesystem::remove(plan);
    const auto real = folders_.elsewhere / "real.PLN";
    WriteBytes(real, "earlier");
    if (!CreateSymbolicLinkW(plan.c_str(), real.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        GetFileAttributesW(plan.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "this system makes no symbolic links for us (Wine only pretends to)";
    }
    EXPECT_EQ(ReplaceFileContents(plan, kPlan), std::error_code());
    EXPECT_NE(GetFileAttributesW(plan.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(ReadBytes(real), kPlan);
    EXPECT_EQ(Entries(folders_.elsewhere), std::vector<std::string>{"real.PLN"});
}

}  // namespace
}  // namespace dravik
