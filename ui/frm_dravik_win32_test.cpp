// The Windows window as a user meets it, under Wine on a virtual display: where its controls stand at
// any DPI, what its keys do, and undo after "Done!". Keys go through the window's own dialog keyboard
// handling, as in the program's message loop.
#include "ui/frm_dravik_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "conversion/test_support.h"
#include "ui/main_window_layout.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

// Handles every message waiting, as the program's loop would; a quit left by an earlier window is
// dropped, or the next message box would close at once.
void Pump(frmDravik& window) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            window.Dispatch(message);
        }
    }
}

// Presses and releases `key` on the focused control with the given modifiers held.
void Press(frmDravik& window, WPARAM key, bool shift = false, bool control = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before[2] = {keys[VK_SHIFT], keys[VK_CONTROL]};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    for (const auto& [message, flags] :
         {std::pair{UINT{WM_KEYDOWN}, 1u}, std::pair{UINT{WM_KEYUP}, 0xC0000001u}}) {
        MSG press{GetFocus(), message, key, static_cast<LPARAM>(flags), 0, {}};
        window.Dispatch(press);
        Pump(window);
    }
    keys[VK_SHIFT] = before[0];
    keys[VK_CONTROL] = before[1];
    SetKeyboardState(keys);
}

Text TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

void SetTextOf(HWND control, const Text& text) {
    SetWindowTextW(control, std::wstring(text.begin(), text.end()).c_str());
}

void PutOnClipboard(std::wstring_view text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* units = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = L'\0';
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::pair<DWORD, DWORD> Selection(HWND box) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// Answers the next message box with OK and remembers what it said. A thread timer fires inside the
// box's own modal loop; it gives up after five seconds, so no test can hang on a box.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : timer_(SetTimer(nullptr, 0, 20, &Tick)) { current_ = this; }
    ~MessageBoxAnswerer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    bool answered = false;
    Text title;
    Text text;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ == nullptr || current_->answered) {
            return;
        }
        EnumThreadWindows(GetCurrentThreadId(), &Answer, 0);
        if (++current_->ticks_ > 250) {
            current_->answered = true;  // give up; the test's checks then fail
        }
    }
    static BOOL CALLBACK Answer(HWND box, LPARAM) {
        wchar_t kind[16] = {};
        GetClassNameW(box, kind, 16);
        if (std::wstring_view(kind) != L"#32770" || !IsWindowVisible(box)) {
            return TRUE;
        }
        current_->title = TextOf(box);
        EnumChildWindows(box, &ReadText, 0);
        current_->answered = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    static BOOL CALLBACK ReadText(HWND child, LPARAM) {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        const Text text = TextOf(child);
        if (_wcsicmp(kind, L"Static") == 0 && !text.empty()) {
            current_->text = text;
            return FALSE;
        }
        return TRUE;
    }

    static inline MessageBoxAnswerer* current_ = nullptr;
    UINT_PTR timer_;
    int ticks_ = 0;
};

class FrmDravikWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        window_.Show(SW_SHOWNORMAL);
        SetForegroundWindow(window_.handle());
        Pump(window_);
        txtR = GetDlgItem(window_.handle(), kTextBoxId);
        Label1 = GetDlgItem(window_.handle(), kLabelId);
        cmdR = GetDlgItem(window_.handle(), kConvertButtonId);
        ASSERT_TRUE(txtR && Label1 && cmdR);
        SetFocus(txtR);
    }

    // What the click shows, answered with OK.
    Text Click() {
        MessageBoxAnswerer answer;
        SendMessageW(cmdR, BM_CLICK, 0, 0);
        Pump(window_);
        EXPECT_TRUE(answer.answered);
        EXPECT_EQ(answer.title, u"Dravik");
        return answer.text;
    }

    ScratchFolder folder_;
    frmDravik window_{GetModuleHandleW(nullptr), folder_.path()};
    HWND txtR = nullptr;
    HWND Label1 = nullptr;
    HWND cmdR = nullptr;
};

using Corners = std::array<LONG, 4>;  // left, top, right, bottom

Corners CornersOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Corners PlaceInWindow(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return CornersOf(place);
}

Corners Expected(const TwipsRect& twips, int dpi) {
    const int left = MulDiv(twips.left, dpi, kTwipsPerInch);
    const int top = MulDiv(twips.top, dpi, kTwipsPerInch);
    return {left, top, left + MulDiv(twips.width, dpi, kTwipsPerInch),
            top + MulDiv(twips.height, dpi, kTwipsPerInch)};
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST_F(FrmDravikWin32Test, ControlsFollowTheDpiOfTheMonitor) {
    HDC screen = GetDC(nullptr);
    const int startDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int dpis[] = {startDpi, 96, 144, 96};
    LONG buttonFontAt96 = 0;
    for (const int dpi : dpis) {
        // Within what Wine's 1024-pixel virtual screen allows a window; Windows suggests the frame for
        // the client area at the new DPI.
        const RECT suggested{40, 30, 40 + MulDiv(660, dpi, 144), 30 + MulDiv(230, dpi, 96)};
        if (&dpi != &dpis[0]) {
            SendMessageW(window_.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            RECT now{};
            GetWindowRect(window_.handle(), &now);
            EXPECT_EQ(CornersOf(now), CornersOf(suggested)) << dpi;
        }
        EXPECT_EQ(PlaceInWindow(txtR), Expected(kTextBoxPlace, dpi)) << dpi;
        EXPECT_EQ(PlaceInWindow(Label1), Expected(kLabelPlace, dpi)) << dpi;
        EXPECT_EQ(PlaceInWindow(cmdR), Expected(kButtonPlace, dpi)) << dpi;
        EXPECT_EQ(FontOf(txtR).lfHeight, -MulDiv(975, dpi, 7200)) << dpi;
        EXPECT_EQ(FontOf(Label1).lfHeight, -MulDiv(975, dpi, 7200)) << dpi;
        EXPECT_EQ(std::wstring_view(FontOf(txtR).lfFaceName), L"Courier New");
        if (dpi == 96) {
            buttonFontAt96 = FontOf(cmdR).lfHeight;
        } else if (buttonFontAt96 != 0) {
            EXPECT_EQ(FontOf(cmdR).lfHeight, MulDiv(buttonFontAt96, dpi, 96)) << dpi;  // the message font
        }
    }
    EXPECT_EQ(FontOf(txtR).lfHeight, -13);
    EXPECT_EQ(-MulDiv(975, 144, 7200), -20);
}

TEST_F(FrmDravikWin32Test, EscNeverClosesTheWindow) {
    SetTextOf(txtR, kExampleListing);
    for (HWND focus : {txtR, cmdR}) {
        SetFocus(focus);
        Press(window_, VK_ESCAPE);
        ASSERT_TRUE(IsWindow(window_.handle()));
        EXPECT_EQ(GetFocus(), focus);
    }
    EXPECT_EQ(TextOf(txtR), kExampleListing);
}

TEST_F(FrmDravikWin32Test, TabAndShiftTabMoveBetweenTheBoxAndTheButton) {
    SetTextOf(txtR, u"listing");
    SendMessageW(txtR, EM_SETSEL, 3, 3);
    Press(window_, VK_TAB);
    EXPECT_EQ(GetFocus(), cmdR);
    Press(window_, VK_TAB, /*shift=*/true);
    EXPECT_EQ(GetFocus(), txtR);
    EXPECT_EQ(Selection(txtR), std::make_pair(DWORD{3}, DWORD{3}));  // the caret stays, nothing selected
    Press(window_, VK_TAB, /*shift=*/true);
    EXPECT_EQ(GetFocus(), cmdR);
    Press(window_, VK_TAB);
    EXPECT_EQ(GetFocus(), txtR);
    EXPECT_EQ(TextOf(txtR), u"listing");  // no tab typed into it
}

TEST_F(FrmDravikWin32Test, SpaceOrEnterOnTheFocusedButtonPressesIt) {
    for (const WPARAM key : {WPARAM{VK_SPACE}, WPARAM{VK_RETURN}}) {
        SetFocus(cmdR);
        MessageBoxAnswerer answer;
        Press(window_, key);
        EXPECT_TRUE(answer.answered) << key;
        EXPECT_EQ(answer.text, u"Not enough or invalid points!") << key;
    }
}

TEST_F(FrmDravikWin32Test, EnterInTheTextBoxStartsALine) {
    SetTextOf(txtR, u"ab");
    SendMessageW(txtR, EM_SETSEL, 1, 1);
    Press(window_, VK_RETURN);
    EXPECT_EQ(window_.ReadText(), u"a\r\nb");
    EXPECT_TRUE(folder_.Entries().empty());
}

// Select all, then paste another listing: the new one replaces the old instead of joining it.
TEST_F(FrmDravikWin32Test, CtrlASelectsTheWholeListing) {
    SetTextOf(txtR, PointLine(u"OLD1") + u"\r\n" + PointLine(u"OLD2"));
    SendMessageW(txtR, EM_SETSEL, 5, 5);
    Press(window_, 'A', false, /*control=*/true);
    const auto [start, end] = Selection(txtR);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(txtR)));
    PutOnClipboard(L"pasted");
    Press(window_, 'V', false, /*control=*/true);
    EXPECT_EQ(TextOf(txtR), u"pasted");
}

// After "Done!" the box is empty, but Ctrl+Z (or the context menu's Undo) brings the listing back.
TEST_F(FrmDravikWin32Test, UndoAfterDoneBringsTheListingBack) {
    SetTextOf(txtR, kExampleListing);
    EXPECT_EQ(Click(), u"Done!");
    EXPECT_EQ(ReadBytes(folder_.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
    EXPECT_TRUE(TextOf(txtR).empty());
    SetFocus(txtR);
    Press(window_, 'Z', false, /*control=*/true);
    EXPECT_EQ(window_.ReadText(), kExampleListing);
    SendMessageW(txtR, WM_UNDO, 0, 0);  // undoing again redoes, as the box's one level of undo does
    EXPECT_TRUE(TextOf(txtR).empty());
    SendMessageW(txtR, WM_UNDO, 0, 0);
    EXPECT_EQ(window_.ReadText(), kExampleListing);
}

// A stop message leaves the text, and what Ctrl+Z would undo, as they were.
TEST_F(FrmDravikWin32Test, StopMessageKeepsTheTextAndItsUndo) {
    SetTextOf(txtR, PointLine(u"ONLY"));
    SendMessageW(txtR, EM_SETSEL, 0, 0);
    SendMessageW(txtR, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"typed "));
    const Text before = TextOf(txtR);
    EXPECT_EQ(Click(), u"Not enough or invalid points!");
    EXPECT_EQ(TextOf(txtR), before);
    SetFocus(txtR);
    Press(window_, 'Z', false, /*control=*/true);
    EXPECT_EQ(TextOf(txtR), PointLine(u"ONLY"));
}

TEST_F(FrmDravikWin32Test, EveryLineBreakReachesTheCommandAsCrLf) {
    SetTextOf(txtR, u"crlf\r\nlf\ncr\rtab\tend");
    EXPECT_EQ(window_.ReadText(), u"crlf\r\nlf\r\ncr\r\ntab\tend");
}

}  // namespace
}  // namespace dravik

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
