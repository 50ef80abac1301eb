#include "conversion/convert_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

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
    EXPECT_EQ(ReadBytes(folder.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());

    cmdR_Click(host, folder.path());  // again, with the box now empty
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, u"Not enough or invalid points!");
}

TEST(ConvertCommandTest, OtherLinesBetweenPointsChangeNothing) {
    ScratchFolder folder;
    Text pointsOnly;
    for (const TextView line : SplitLines(kExampleListing)) {
        if (line.substr(0, 2) != u"ID") {
            pointsOnly += Text(line) + u"\r\n";
        }
    }
    const Text interleaved = u"\r\nremark\r\n" + pointsOnly + u"TOTAL\r\n\r\n";
    FakeHost host(interleaved);
    cmdR_Click(host, folder.path());
    EXPECT_EQ(ReadBytes(folder.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
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
    EXPECT_EQ(ReadBytes(temporary.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
    EXPECT_TRUE(host.text().empty());
}

}  // namespace
}  // namespace dravik
