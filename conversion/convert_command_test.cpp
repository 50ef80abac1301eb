#include "conversion/convert_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

// A window that cannot show the message (it throws, as a window out of memory would) keeps the listing:
// the box is emptied only once "Done!" has been read, and nothing is thrown into the window's event loop.
TEST(ConvertCommandTest, AWindowThatCannotShowTheMessageKeepsTheListing) {
    class Failing : public FakeHost {
    public:
        using FakeHost::FakeHost;
        void ShowMessage(const Text&, MessageIcon, const Text&) override { throw std::bad_alloc(); }
    };
    ScratchFolder folder;
    Failing host(kExampleListing);
    cmdR_Click(host, folder.path());
    EXPECT_EQ(host.text(), kExampleListing);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"});
}

// A window whose text cannot be read: `toss` fails as a window that cannot copy its text out would.
class FailingHost : public FakeHost {
public:
    FailingHost(Text text, std::function<void()> toss) : FakeHost(std::move(text)), toss_(std::move(toss)) {}
    Text ReadText() override {
        toss_();
        return FakeHost::ReadText();
    }

private:
    std::function<void()> toss_;
};

// Whatever is thrown becomes one stop message, the text kept and nothing written (memory running out
// at each allocation in turn has a test of its own).
TEST(ConvertCommandTest, WhatIsThrownBecomesAStopMessage) {
    struct Row {
        const char* name;
        std::function<void()> readFails;
        Text message;
    };
    const Row rows[] = {
        {"longer than a string can hold", [] { Text().reserve(Text().max_size() + 1); },
         u"The listing is too large for the memory available."},
        {"anything else", [] { throw std::runtime_error("no entropy"); },
         u"Could not convert the listing!\nno entropy"},
    };
    for (const Row& row : rows) {
        ScratchFolder folder;
        FailingHost host(kExampleListing, row.readFails);
        cmdR_Click(host, folder.path());
        ASSERT_EQ(host.messages.size(), 1u) << row.name;
        EXPECT_EQ(host.messages[0].text, row.message) << row.name;
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Stop) << row.name;
        EXPECT_EQ(host.text(), kExampleListing) << row.name;
        EXPECT_TRUE(folder.Entries().empty()) << row.name;
    }
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
}

}  // namespace
}  // namespace dravik
