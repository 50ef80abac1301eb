#include "conversion/convert_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <new>
#include <stdexcept>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

Text Points(std::size_t count) {
    Text listing;
    for (std::size_t i = 0; i < count; ++i) {
        listing += PointLine(u"P" + FormatWhole(static_cast<std::int64_t>(i))) + u"\r\n";
    }
    return listing;
}

TEST(ConvertCommandTest, ConvertsSavesReportsThenEmptiesTheBox) {
    ScratchFolder folder;
    FakeHost host(kExampleListing);
    cmdR_Click(host, folder.path());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, u"Done!");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(host.messages[0].title, u"Dravik");
    EXPECT_EQ(host.events, (std::vector<std::string>{"message", "set text"}));
    EXPECT_EQ(host.text(), u"");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});

    cmdR_Click(host, folder.path());  // again, with the box now empty
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, u"Not enough or invalid points!");
}

// A window whose text cannot be read: `toss` fails as a window that cannot copy its text out would.
class FailingHost : public FakeHost {
public:
    FailingHost(Text text, std::function<void()> toss) : FakeHost(std::move(text)), toss_(std::move(toss)) {}
    Text ReadText() override {
        if (toss_) {
            toss_();
        }
        return FakeHost::ReadText();
    }

private:
    std::function<void()> toss_;
};

// Every way the command can stop short: one stop message, the text kept, nothing written.
TEST(ConvertCommandTest, StopsAndKeepsTheText) {
    struct Row {
        Text listing;
        std::function<void()> readFails;  // how reading the window's text fails, if it does
        Text message;
    };
    const Row rows[] = {
        {u"", {}, u"Not enough or invalid points!"},
        {PointLine(u"ONLY"), {}, u"Not enough or invalid points!"},
        {PointLine(u"A") + u"\n" + PointLine(u"B"), {}, u"Not enough or invalid points!"},
        {Points(4001), {}, u"Too many points! At most 4000 are allowed."},
        {kExampleListing, [] { throw std::bad_alloc(); },
         u"The listing is too large for the memory available."},
        {kExampleListing, [] { Text().reserve(Text().max_size() + 1); },
         u"The listing is too large for the memory available."},
        {kExampleListing, [] { throw std::runtime_error("no entropy"); },
         u"Could not convert the listing!\nno entropy"},
    };
    for (const Row& row : rows) {
        ScratchFolder folder;
        FailingHost host(row.listing, row.readFails);
        cmdR_Click(host, folder.path());
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, row.message);
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Stop);
        EXPECT_EQ(host.messages[0].title, u"Dravik");
        EXPECT_EQ(host.text(), row.listing);
        EXPECT_TRUE(folder.Entries().empty());
    }
}

// A listing damaged on its way to the user: the note under the message (its words have their own
// table), what is saved, and the box kept or emptied.
TEST(ConvertCommandTest, ExplainsLinesThatLookLikeRoutePoints) {
    const TextView header = u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks";
    const TextView eaxa = u"EAXA             0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD";
    const TextView xyz = u"XYZ     114.50  67     12   N55\u00B010'30.00\" E012\u00B055'00.00\" XYZ";
    const TextView eaxb =
        u"EAXB           110     25   N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD";
    const std::string plan = ExampleFileBytes();
    struct Row {
        const char* name;
        Text listing;
        Text message;
        std::string file = {};  // none when the listing is refused
        std::string plan = {};  // its bytes, when they are checked here
    };
    const Row rows[] = {
        {"spaces collapsed, refused",
         Lines({header, u"EAXA 0 0 N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD",
                u"EAXB 110 25 N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD"}),
         u"Not enough or invalid points!\n2 lines look like route points, but they do not keep to the "
         u"columns of the header; the first is line 2.\nIts position starts in column 10, but the header "
         u"has it at column 29: the spaces that line the columns up were lost on the way."},
        {"one waypoint damaged among good ones",
         Lines({header, eaxa, xyz,
                u"GAMMA          102     40   N54?58'59.40\" E013?40'12.30\" GAMMA           ", eaxb}),
         u"Done!\nLine 4 looks like a route point, but it does not keep to the columns of the header, so it "
         u"was left out of the plan.\nColumn 32 should hold the degree sign \u00B0, but it holds \"?\". The "
         u"degree sign was changed on the way; Dravik needs the sign \u00B0 itself.",
         "EAXA-EAXB.PLN",
         plan.substr(0, plan.find("waypoint.2")) +
             "waypoint.2=, EAXB, , EAXB, A, N54* 50.00', E014* 10.76', +000000.00,\r\n"},
        {"a no-break space in the destination's identifier",
         Lines({header, eaxa, Text(eaxb).replace(4, 1, u"\u00A0")}),
         u"Done!\nThe identifier \"EAXB\" on line 3 ends with a no-break space; the plan and its file name "
         u"keep it.",
         "EAXA-EAXB\xC2\xA0.PLN"},
        // Good listings, whatever else they hold, get the message and nothing more; the lines between
        // the points change nothing in the plan.
        {"the example", kExampleListing, u"Done!", "EAXA-EAXB.PLN"},
        {"route string, remarks, totals",
         Lines({u"ROUTE EKCH DCT GOLAS UL996 SPY DCT EHAM", u"", header, eaxa, u"   remark: FL240 at 12.5 NM",
                xyz, u"GAMMA          102     40   N54\u00B058'59.40\" E013\u00B040'12.30\" GAMMA", eaxb,
                u"TOTAL DISTANCE 77 NM   TIME 00:25.00", u""}),
         u"Done!", "EAXA-EAXB.PLN", plan},
    };
    for (const Row& row : rows) {
        ScratchFolder folder;
        FakeHost host(row.listing);
        cmdR_Click(host, folder.path());
        ASSERT_EQ(host.messages.size(), 1u) << row.name;
        EXPECT_EQ(host.messages[0].text, row.message) << row.name;
        const bool saved = !row.file.empty();
        EXPECT_EQ(host.messages[0].icon, saved ? MessageIcon::Information : MessageIcon::Stop) << row.name;
        EXPECT_EQ(host.text(), saved ? u"" : row.listing) << row.name;
        EXPECT_EQ(folder.Entries(), saved ? std::vector<std::string>{row.file} : std::vector<std::string>{})
            << row.name;
        if (!row.plan.empty()) {
            EXPECT_EQ(ReadBytes(folder.path() / "EAXA-EAXB.PLN"), row.plan) << row.name;
        }
    }
}

TEST(ConvertCommandTest, AcceptsTheMostPoints) {
    ScratchFolder folder;
    FakeHost host(Points(4000));
    cmdR_Click(host, folder.path());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, u"Done!");
    const std::string bytes = ReadBytes(folder.path() / "P0-P3999.PLN");
    EXPECT_NE(bytes.find("\r\nwaypoint.3999=, P3999, , P3999, A, "), std::string::npos);
}

// Run from inside a zip, Windows starts the program in its temporary folder, which it may empty: "Done!"
// then says where the plan is and asks for a folder of the user's own. Other systems have no such zip.
TEST(ConvertCommandTest, DoneInTheTemporaryFolderSaysItWillNotLast) {
    ScratchFolder temporary(std::filesystem::temp_directory_path());
    FakeHost host(kExampleListing);
    cmdR_Click(host, temporary.path());
    ASSERT_EQ(host.messages.size(), 1u);
#ifdef _WIN32
    EXPECT_EQ(host.messages[0].text, u"Done!\n" + TextFromPath(temporary.path() / "EAXA-EAXB.PLN") +
                                         u"\nThis folder is temporary and Windows may delete it with the "
                                         u"plan: unpack the zip into a folder of your own and start Dravik "
                                         u"from there.");
#else
    EXPECT_EQ(host.messages[0].text, u"Done!");
#endif
    EXPECT_TRUE(std::filesystem::exists(temporary.path() / "EAXA-EAXB.PLN"));
    EXPECT_TRUE(host.text().empty());
}

}  // namespace
}  // namespace dravik
