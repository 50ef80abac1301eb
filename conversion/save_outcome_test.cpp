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
    Text message;                    // the one message; "{app}" stands for the program's folder
    std::vector<std::string> files;  // what the program's folder then holds, names in UTF-8
    Before before = Before::Empty;
    std::string plan = {};  // the saved plan's bytes, where the row checks them
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
    const std::string plan = ExampleFileBytes();
    const TextView header = u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks";
    const TextView eaxa = u"EAXA             0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD";
    const TextView xyz = u"XYZ     114.50  67     12   N55\u00B010'30.00\" E012\u00B055'00.00\" XYZ";
    const TextView eaxb =
        u"EAXB           110     25   N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD";
    Text manyLines;
    for (int i = 0; i < 200000; ++i) {
        manyLines += u"line\r\n";
    }
    return {
        {"example", kExampleListing, done, example, Before::Empty, plan},
        {"over an earlier plan", kExampleListing, done, example, Before::EarlierPlan, plan},
        // Whatever else a good listing holds, the message is "Done!" alone and the plan the same.
        {"route string, remarks, totals",
         Lines({u"ROUTE EKCH DCT GOLAS UL996 SPY DCT EHAM", u"", header, eaxa, u"   remark: FL240 at 12.5 NM",
                xyz, u"GAMMA          102     40   N54\u00B058'59.40\" E013\u00B040'12.30\" GAMMA", eaxb,
                u"TOTAL DISTANCE 77 NM   TIME 00:25.00", u""}),
         done, example, Before::Empty, plan},
        {"the most points", LargeRoute(4000), done, example},
        {"one point too many", LargeRoute(4001), Text(kTooManyPointsMessage), {}},
        {"one point", PointLine(u"ONLY"), Text(kNotEnoughPointsMessage), {}},
        {"20 MB line", Text(10'000'000, u'x'), Text(kNotEnoughPointsMessage), example, Before::EarlierPlan},
        {"200,000 lines", manyLines, Text(kNotEnoughPointsMessage), {}},
        // A listing damaged on its way to the user: the note under the message (its words have their own
        // table), and a plan without the damaged line.
        {"spaces collapsed",
         Lines({header, u"EAXA 0 0 N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD",
                u"EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD"}),
         u"Not enough or invalid points!\n2 lines look like route points, but they do not keep to the "
         u"columns of the header; the first is line 2.\nIts position starts in column 10, but the header "
         u"has it at column 29: the spaces that line the columns up were lost on the way.",
         {}},
        {"one waypoint damaged among good ones",
         Lines({header, eaxa, xyz,
                u"GAMMA          102     40   N54?58'59.40\" E013?40'12.30\" GAMMA           ", eaxb}),
         u"Done!\nLine 4 looks like a route point, but it does not keep to the columns of the header, so it "
         u"was left out of the plan.\nColumn 32 should hold the degree sign \u00B0, but it holds \"?\". The "
         u"degree sign was changed on the way; Dravik needs the sign \u00B0 itself.",
         example, Before::Empty,
         plan.substr(0, plan.find("waypoint.2")) +
             "waypoint.2=, EAXB, , EAXB, A, N54* 50.00', E014* 10.76', +000000.00,\r\n"},
        {"the destination's line break lost, its point joined onto the one before",
         Lines({header, eaxa, Text(xyz) + u" " + Text(eaxb)}),
         u"Done!\nThe plan ends at XYZ, because line 3 also holds EAXB: the line break between them was lost."
         u"\nLine 3 holds more than one route point, so not all of them are in the plan.\nIt also holds the "
         u"position of EAXB: the line break between them was lost on the way.",
         {"EAXA-XYZ.PLN"}},
        {"a no-break space in the destination's identifier",
         Lines({header, eaxa, Text(eaxb).replace(4, 1, u"\u00A0")}),
         u"Done!\nThe identifier \"EAXB\" on line 3 ends with a no-break space; the plan and its file name "
         u"keep it.",
         {"EAXA-EAXB\xC2\xA0.PLN"}},
        // The earlier plan, or what stands in its place, is kept when the save fails.
        {"read-only plan", kExampleListing, NotSaved(u"EAXA-EAXB.PLN", kDenied), example,
         Before::ReadOnlyPlan},
        {"folder in the plan's place", kExampleListing, NotSaved(u"EAXA-EAXB.PLN", kIsAFolder), example,
         Before::FolderInThePlace},
        {"program's folder gone", kExampleListing, NotSaved(u"EAXA-EAXB.PLN", kNoFolder), {}, Before::Gone},
        // A separator or a NUL would take the plan out of the folder or cut its name short.
        {"parent folder", Listing(u"../x", u"B"), NotSaved(u"../x-B.PLN", kUnusable), {}},
        {"root", Listing(u"A", u"/etc"), NotSaved(u"A-/etc.PLN", kUnusable), {}},
        {"backslash", Listing(u"a\\b", u"B"), NotSaved(u"a\\b-B.PLN", kUnusable), {}},
        {"NUL", Listing(u"A", Text(u"a\0b", 3)), NotSaved(u"A-a\u2400b.PLN", kUnusable), {}},
        {"dots", Listing(u"..", u".."), done, {"..-...PLN"}},
        {"dash", Listing(u"-rf", u""), done, {"-rf-.PLN"}},
        {"beyond the code page",
         Listing(u"\u00C5\u03A9\u4E2D", u"\U0001D11E"),
         done,
         {"\xC3\x85\xCE\xA9\xE4\xB8\xAD-\xF0\x9D\x84\x9E.PLN"}},
#ifdef _WIN32
        // A colon would name a drive, or a stream of another file on NTFS (Wine refuses it either way).
        {"drive", Listing(u"C:", u"B"), NotSaved(u"C:-B.PLN", kUnusable), {}},
        {"stream", Listing(u"A:B", u"C"), NotSaved(u"A:B-C.PLN", kUnusable), {}},
        // Windows takes no character below U+0020 in a name; a tab is the one a listing holds.
        {"tab", Listing(u"\tA", u"B"), NotSaved(u"\tA-B.PLN", kUnusable), {}},
        // The other characters Windows refuses in a name: its own words.
        {"star", Listing(u"A", u"*"), NotSaved(u"A-*.PLN", kBadName), {}},
#else
        {"tab, wildcards and a colon",
         Listing(u"\tA", u"*?:"),
         u"Done!\nThe identifier \"A\" on line 1 starts with a tab; the plan and its file name keep it.",
         {"\tA-*?:.PLN"}},
        // A UTF-8 file name cannot spell a lone surrogate.
        {"lone surrogate", Listing(u"A\xDC00", u"B"), NotSaved(u"A\xDC00-B.PLN", kUnusable), {}},
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
        EXPECT_EQ(host.messages[0].title, u"Dravik") << row.what;
        EXPECT_EQ(host.text(), saved ? Text() : row.listing) << row.what;
        EXPECT_EQ(fs::exists(folder.app) ? Entries(folder.app) : std::vector<std::string>(), row.files)
            << row.what;

        if (!row.plan.empty()) {
            EXPECT_EQ(ReadBytes(folder.plan), row.plan) << row.what;
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

}  // namespace
}  // namespace dravik
