// What one click ends in, for each listing and each state of the program's folder, on every system:
// the plan's file or one stop message, the user's text kept where nothing is saved, an earlier plan
// kept where it is not replaced, and nothing written outside the program's folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/convert_command.h"
#include "platform/platform.h"
#include "testing/system_words.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

namespace fs = std::filesystem;

// The system's words for the failures below.
#ifdef _WIN32
// As the running Windows words them: "Access is denied." on an English Windows, "Access denied." under
// Wine.
const Text kDenied = SystemWords(ERROR_ACCESS_DENIED);
const Text kIsAFolder = SystemWords(ERROR_ACCESS_DENIED);
const Text kNoFolder = SystemWords(ERROR_PATH_NOT_FOUND);
const Text kBadName = SystemWords(ERROR_INVALID_NAME);
#else
constexpr TextView kDenied = u"Permission denied";
constexpr TextView kIsAFolder = u"Is a directory";
constexpr TextView kNoFolder = u"No such file or directory";
#endif

// The program's folder before the click.
enum class Before {
    Empty,
    EarlierPlan,       // EAXA-EAXB.PLN holds "earlier"
    ReadOnlyPlan,      // the same, read-only
    FolderInThePlace,  // EAXA-EAXB.PLN is a folder holding a file "inside"
    Gone,              // the program's folder no longer exists
};

struct OutcomeRow {
    const char* what;
    Text listing;
    Before before;
    Text message;                    // the one message; "{app}" stands for the program's folder
    std::vector<std::string> files;  // what the program's folder then holds, names in UTF-8
};

Text Listing(TextView departure, TextView destination) {
    return PointLine(departure) + u"\r\n" + PointLine(destination);
}

Text NotSaved(TextView plan, TextView reason) {
    return u"Could not save the flight plan!\n{app}" + Text(plan) + u"\n" + Text(reason);
}

const Text kUnusable = u"An identifier contains a character that cannot be used in a file name.";

std::vector<OutcomeRow> Rows() {
    const Text done(kDoneMessage);
    const std::vector<std::string> example = {"EAXA-EAXB.PLN"};
    Text freeColumns = PointLine(u"FREE");  // the columns the format leaves free hold anything
    const char16_t odd[] = {u'\t',     u'\0',     u'\u00B0', u'\xD800', u'\xDFFF',
                            u'\uFFFF', u'\u00A0', u'\u2029', u'\x7F'};
    const std::size_t columns[] = {7, 9, 14, 16, 17, 19, 23, 26, 28};
    for (std::size_t i = 0; i < std::size(columns); ++i) {
        freeColumns[columns[i] - 1] = odd[i];
    }
    Text manyLines;
    for (int i = 0; i < 200000; ++i) {
        manyLines += u"line\r\n";
    }
    return {
        {"example", kExampleListing, Before::Empty, done, example},
        {"over an earlier plan", kExampleListing, Before::EarlierPlan, done, example},
        {"read-only plan", kExampleListing, Before::ReadOnlyPlan, NotSaved(u"EAXA-EAXB.PLN", kDenied),
         example},
        {"folder in the plan's place", kExampleListing, Before::FolderInThePlace,
         NotSaved(u"EAXA-EAXB.PLN", kIsAFolder), example},
        {"program's folder gone", kExampleListing, Before::Gone, NotSaved(u"EAXA-EAXB.PLN", kNoFolder), {}},
        // A separator or a NUL would take the plan out of the folder or cut its name short.
        {"parent folder", Listing(u"../x", u"B"), Before::Empty, NotSaved(u"../x-B.PLN", kUnusable), {}},
        {"root", Listing(u"A", u"/etc"), Before::Empty, NotSaved(u"A-/etc.PLN", kUnusable), {}},
        {"backslash", Listing(u"a\\b", u"B"), Before::Empty, NotSaved(u"a\\b-B.PLN", kUnusable), {}},
        {"NUL", Listing(u"A", Text(u"a\0b", 3)), Before::Empty, NotSaved(u"A-a\u2400b.PLN", kUnusable), {}},
        {"dots", Listing(u"..", u".."), Before::Empty, done, {"..-...PLN"}},
        {"dash", Listing(u"-rf", u""), Before::Empty, done, {"-rf-.PLN"}},
        {"beyond the code page",
         Listing(u"\u00C5\u03A9\u4E2D", u"\U0001D11E"),
         Before::Empty,
         done,
         {"\xC3\x85\xCE\xA9\xE4\xB8\xAD-\xF0\x9D\x84\x9E.PLN"}},
        {"free columns", freeColumns + u"\r\n" + PointLine(u"B"), Before::Empty, done, {"FREE-B.PLN"}},
        {"20 MB line", Text(10'000'000, u'x'), Before::EarlierPlan, Text(kNotEnoughPointsMessage), example},
        {"200,000 lines", manyLines, Before::Empty, Text(kNotEnoughPointsMessage), {}},
#ifdef _WIN32
        // The characters Windows refuses in a name; "C:" would otherwise name a drive.
        {"tab", Listing(u"\tA", u"B"), Before::Empty, NotSaved(u"\tA-B.PLN", kBadName), {}},
        {"drive", Listing(u"C:", u"B"), Before::Empty, NotSaved(u"C:-B.PLN", kBadName), {}},
        {"less", Listing(u"A<", u"B"), Before::Empty, NotSaved(u"A<-B.PLN", kBadName), {}},
        {"greater", Listing(u"A", u">B"), Before::Empty, NotSaved(u"A->B.PLN", kBadName), {}},
        {"quote", Listing(u"A\"", u"B"), Before::Empty, NotSaved(u"A\"-B.PLN", kBadName), {}},
        {"bar", Listing(u"A|", u"B"), Before::Empty, NotSaved(u"A|-B.PLN", kBadName), {}},
        {"question mark", Listing(u"A?", u"B"), Before::Empty, NotSaved(u"A?-B.PLN", kBadName), {}},
        {"star", Listing(u"A", u"*"), Before::Empty, NotSaved(u"A-*.PLN", kBadName), {}},
#else
        {"tab and wildcards",
         Listing(u"\tA", u"*?"),
         Before::Empty,
         u"Done!\nThe identifier \"A\" on line 1 starts with a tab; the plan and its file name keep it.",
         {"\tA-*?.PLN"}},
        // A UTF-8 file name cannot spell a lone surrogate.
        {"lone surrogate",
         Listing(u"A\xDC00", u"B"),
         Before::Empty,
         NotSaved(u"A\xDC00-B.PLN", kUnusable),
         {}},
#endif
    };
}

void Prepare(const ProgramFolder& folder, Before before) {
    switch (before) {
        case Before::Empty:
            break;
        case Before::EarlierPlan:
        case Before::ReadOnlyPlan:
            WriteBytes(folder.plan, "earlier");
            if (before == Before::ReadOnlyPlan) {
                fs::permissions(folder.plan,
                                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                fs::perm_options::remove);
            }
            break;
        case Before::FolderInThePlace:
            fs::create_directory(folder.plan);
            WriteBytes(folder.plan / "inside", "kept");
            break;
        case Before::Gone:
            fs::remove(folder.app);
            break;
    }
}

TEST(SaveOutcomeTest, EachListingAndFolderGivesItsOutcome) {
    for (const OutcomeRow& row : Rows()) {
        ProgramFolder folder;
        Prepare(folder, row.before);
        FakeHost host(row.listing);
        cmdR_Click(host, folder.app);

        Text expected = row.message;
        if (const std::size_t app = expected.find(u"{app}"); app != Text::npos) {
            expected.replace(app, 5, TextFromPath(folder.app / ""));
        }
        ASSERT_EQ(host.messages.size(), 1u) << row.what;
        EXPECT_EQ(host.messages[0].text, expected) << row.what;
        const bool saved = row.message.starts_with(kDoneMessage);
        EXPECT_EQ(host.messages[0].icon, saved ? MessageIcon::Information : MessageIcon::Stop) << row.what;
        EXPECT_EQ(host.text(), saved ? Text() : row.listing) << row.what;
        EXPECT_EQ(fs::exists(folder.app) ? Entries(folder.app) : std::vector<std::string>(), row.files)
            << row.what;

        if (row.message == kDoneMessage && row.listing == kExampleListing) {
            EXPECT_EQ(ReadBytes(folder.plan), ExampleFileBytes()) << row.what;
        } else if (row.before == Before::EarlierPlan || row.before == Before::ReadOnlyPlan) {
            EXPECT_EQ(ReadBytes(folder.plan), "earlier") << row.what;
            fs::permissions(folder.plan, fs::perms::owner_write, fs::perm_options::add);
        } else if (row.before == Before::FolderInThePlace) {
            EXPECT_EQ(Entries(folder.plan), std::vector<std::string>{"inside"}) << row.what;
            EXPECT_EQ(ReadBytes(folder.plan / "inside"), "kept") << row.what;
        }
        EXPECT_TRUE(Entries(folder.elsewhere).empty()) << row.what;
        const std::vector<std::string> scratch = row.before == Before::Gone
                                                     ? std::vector<std::string>{"elsewhere"}
                                                     : std::vector<std::string>{"app", "elsewhere"};
        EXPECT_EQ(folder.scratch.Entries(), scratch) << row.what;
    }
}

TEST(SaveOutcomeTest, NamesOutsideTheCodePageBecomeQuestionMarks) {
    ProgramFolder folder;
    const Text listing = PointLine(u"A",
                                   u"\u00C9T\xD800"
                                   u"E \U0001D11E \u03A9") +
                         u"\r\n" + PointLine(u"B", u"B");
    FakeHost host(listing);
    cmdR_Click(host, folder.app);
    const std::string plan = ReadBytes(folder.app / "A-B.PLN");
    EXPECT_NE(plan.find("\r\ndeparture_name=\xC9t?e ? ?\r\n"), std::string::npos) << plan;
}

}  // namespace
}  // namespace dravik
