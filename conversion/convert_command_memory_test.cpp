// The convert command when memory runs out: every allocation of a run is made to fail in turn, and each
// time the user gets a stop message, keeps the text and keeps the earlier plan.
#include "conversion/convert_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <stdexcept>

#include "testing/test_support.h"

namespace {

// The allocation seam: how many allocations may still succeed before one fails (negative: none
// fails), and whether one has. Global because operator new is; only this test program replaces it.
long allocationsBeforeFailure = -1;
bool allocationFailed = false;

}  // namespace

void* operator new(std::size_t size) {
    if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) {
        allocationFailed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

// The library may allocate through the nothrow form too (GCC 14's libstdc++ does): without it here, what
// it allocates would be freed by the replacements below and AddressSanitizer would report the mismatch.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// GCC takes these for frees of memory from the library's operator new, which they replace.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace dravik {
namespace {

using namespace testkit;

// Makes allocation number `n` (from 0) fail while it lives; fired() tells whether it came to that.
class FailingAllocation {
public:
    explicit FailingAllocation(long n) {
        allocationsBeforeFailure = n;
        allocationFailed = false;
    }
    ~FailingAllocation() { allocationsBeforeFailure = -1; }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    [[nodiscard]] static bool fired() { return allocationFailed; }
};

// Lets the fake window record what it was told without the seam failing it: the window's own
// bookkeeping is not the conversion under test. Reading the text stays exposed, as a real copy is.
// With `readFails`, reading the text throws, as a window whose copy fails does: then the message that
// says so must be made, and memory can run out there too.
class RecordingHost : public FakeHost {
public:
    RecordingHost(Text text, bool readFails) : FakeHost(std::move(text)), readFails_(readFails) {}
    Text ReadText() override {
        if (readFails_) {
            throw std::runtime_error("the copy failed");
        }
        return FakeHost::ReadText();
    }
    void SetText(const Text& text) override {
        const Paused paused;
        FakeHost::SetText(text);
    }
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override {
        const Paused paused;
        FakeHost::ShowMessage(text, icon, title);
    }

private:
    bool readFails_;
    struct Paused {
        long saved = allocationsBeforeFailure;
        Paused() { allocationsBeforeFailure = -1; }
        ~Paused() { allocationsBeforeFailure = saved; }
        Paused(const Paused&) = delete;
        Paused& operator=(const Paused&) = delete;
    };
};

TEST(OutOfMemoryTest, EveryFailedAllocationKeepsTheTextAndTheEarlierPlan) {
    for (const bool readFails : {false, true}) {
        ScratchFolder folder;
        const auto plan = folder.path() / "EAXA-EAXB.PLN";
        WriteBytes(plan, "earlier");
        // Held as the windows hold it, so that the call itself allocates nothing.
        const std::optional<std::filesystem::path> directory = folder.path();
        long n = 0;
        for (;; ++n) {
            RecordingHost host(kExampleListing, readFails);
            bool failed = false;
            {
                const FailingAllocation failing(n);
                cmdR_Click(host, directory);
                failed = FailingAllocation::fired();
            }
            if (!failed) {
                // Every allocation of a run has failed once; the last run had memory enough.
                EXPECT_EQ(ReadBytes(plan) == "earlier", readFails);
                if (readFails) {
                    ASSERT_EQ(host.messages.size(), 1u);
                    EXPECT_EQ(host.messages[0].text, u"Could not convert the listing!\nthe copy failed");
                }
                break;
            }
            // The first allocation is the message that says so: without it nothing can be said, and the
            // listing and the earlier plan stay all the same.
            ASSERT_EQ(host.messages.size(), n == 0 ? 0u : 1u)
                << "allocation " << n << ", read fails " << readFails;
            if (n != 0) {
                EXPECT_EQ(host.messages[0].text, kOutOfMemoryMessage)
                    << "allocation " << n << ", " << readFails;
                EXPECT_EQ(host.messages[0].icon, MessageIcon::Stop);
            }
            EXPECT_EQ(host.text(), kExampleListing) << "allocation " << n << ", " << readFails;
            EXPECT_EQ(ReadBytes(plan), "earlier") << "allocation " << n << ", " << readFails;
            EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EAXA-EAXB.PLN"}) << "allocation " << n;
        }
        EXPECT_GT(n, readFails ? 3 : 20) << "the seam never reached the conversion";
    }
}

}  // namespace
}  // namespace dravik
