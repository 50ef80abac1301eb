// The Windows window as a user meets it, under Wine on a virtual display: where its controls stand at
// any DPI, what its keys do, and undo after "Done!". Keys go through the window's own dialog keyboard
// handling, as in the program's message loop.
#include "ui/win32/frm_dravik.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "testing/test_support.h"
#include "ui/shared/window_layout.h"
#include "ui/shared/window_texts.h"

namespace dravik::win32 {
namespace {

using namespace testkit;

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

// Presses and releases `key` on the focused control with the given modifiers held. F10 comes as a
// system key, as Windows sends it.
void Press(frmDravik& window, WPARAM key, bool shift = false, bool control = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before[2] = {keys[VK_SHIFT], keys[VK_CONTROL]};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    const bool system = key == VK_F10;
    for (const auto& [message, flags] :
         {std::pair{system ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, 1u},
          std::pair{system ? UINT{WM_SYSKEYUP} : UINT{WM_KEYUP}, 0xC0000001u}}) {
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
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (text.size() + 1) * sizeof(wchar_t));
    std::copy(text.begin(), text.end(), static_cast<wchar_t*>(GlobalLock(memory)));  // and a NUL after
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// Answers every message box with OK and remembers what the last one said. A thread timer fires inside
// the box's own modal loop; it gives up after five seconds, so no test can hang on a box. `before`, if
// given, runs first inside the box's loop (a close request, a repeated key), and the box is answered on
// a later tick, so that what `before` did has been handled.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(void (*before)(HWND box) = nullptr)
        : before_(before), timer_(SetTimer(nullptr, 0, 20, &Tick)) {
        current_ = this;
    }
    ~MessageBoxAnswerer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    int boxes = 0;
    Text title;
    Text text;
    HICON icon = nullptr;  // the system's own, shared: LoadIcon gives the same handle

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ == nullptr || current_->ticks_ > 250) {
            return;  // given up; the test's checks then fail
        }
        ++current_->ticks_;
        EnumThreadWindows(GetCurrentThreadId(), &Answer, 0);
    }
    static BOOL CALLBACK Answer(HWND box, LPARAM) {
        wchar_t kind[16] = {};
        GetClassNameW(box, kind, 16);
        if (std::wstring_view(kind) != L"#32770" || !IsWindowVisible(box)) {
            return TRUE;
        }
        if (current_->before_ != nullptr && current_->seen_ != box) {
            current_->seen_ = box;
            current_->before_(box);
            return FALSE;
        }
        current_->title = TextOf(box);
        EnumChildWindows(box, &ReadText, 0);
        ++current_->boxes;
        current_->seen_ = nullptr;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ShowWindow(box, SW_HIDE);  // not answered twice while the post is on its way
        return FALSE;
    }
    static BOOL CALLBACK ReadText(HWND child, LPARAM) {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        if (_wcsicmp(kind, L"Static") != 0) {
            return TRUE;
        }
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            current_->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        } else if (const Text text = TextOf(child); !text.empty()) {
            current_->text = text;
        }
        return TRUE;
    }

    static inline MessageBoxAnswerer* current_ = nullptr;
    void (*before_)(HWND box);
    UINT_PTR timer_;
    int ticks_ = 0;
    HWND seen_ = nullptr;
};

// The window with the command's messages recorded instead of shown: ShowMessage is the command's seam.
// A test of the message box itself asks for real boxes and answers them (MessageBoxAnswerer).
class RecordingWindow : public frmDravik {
public:
    using frmDravik::frmDravik;
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override {
        said = text;
        if (realBoxes) {
            frmDravik::ShowMessage(text, icon, title);
        }
    }

    bool realBoxes = false;
    Text said;
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

    Text Click() {
        window_.said.clear();
        SendMessageW(cmdR, BM_CLICK, 0, 0);
        Pump(window_);
        return window_.said;
    }

    ScratchFolder folder_;
    RecordingWindow window_{GetModuleHandleW(nullptr), folder_.path()};
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

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

LONG IconWidth(HWND window, WPARAM which) {
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)), &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Moves the window to a monitor of `dpi` as Windows does, suggesting a frame scaled linearly (which is
// not the frame the layout needs there).
void MoveToDpi(HWND window, int dpi) {
    const RECT suggested{0, 0, MulDiv(695, dpi, 96), MulDiv(225, dpi, 96)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// Where each control stands, its font, the client area and the icons, as literal pixels per DPI: with
// the functions of this system (Windows 10's, under Wine), and with none of them, as on Windows 7.
TEST_F(FrmDravikWin32Test, ControlsFollowTheDpiOfTheMonitor) {
    struct Row {
        int dpi;
        Corners client, box, label, button;
        LONG listingFont, smallIcon, bigIcon;
    };
    const Row rows[] = {
        {144, {0, 0, 1034, 300}, {12, 36, 1022, 242}, {15, 12, 989, 38}, {12, 252, 1022, 290}, -20, 24, 48},
        {96, {0, 0, 689, 200}, {8, 24, 681, 161}, {10, 8, 659, 25}, {8, 168, 681, 193}, -13, 16, 32},
    };
    RecordingWindow windows7(GetModuleHandleW(nullptr), folder_.path(), NewerFunctions{});
    windows7.Show(SW_SHOWNORMAL);
    Pump(windows7);
    for (const frmDravik* window :
         {static_cast<const frmDravik*>(&window_), static_cast<const frmDravik*>(&windows7)}) {
        const HWND frame = window->handle();
        const bool older = window == &windows7;
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.dpi << " DPI" << (older ? ", as on Windows 7" : ""));
            MoveToDpi(frame, row.dpi);
            RECT client{};
            GetClientRect(frame, &client);
            EXPECT_EQ(CornersOf(client), row.client);
            RECT outer{};
            GetWindowRect(frame, &outer);
            EXPECT_EQ(outer.left, 0);  // where Windows suggested
            // Asked before a move, the window names the frame around exactly that client area: the client
            // area plus a border on each side and a caption (Wine's frame is the system DPI's, whatever it
            // says).
            SIZE scaled{};
            EXPECT_TRUE(SendMessageW(frame, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(row.dpi),
                                     reinterpret_cast<LPARAM>(&scaled)));
            EXPECT_GT(scaled.cx, row.client[2]);
            EXPECT_LT(scaled.cx, row.client[2] + 40);
            EXPECT_GT(scaled.cy, row.client[3] + 10);
            const HWND box = GetDlgItem(frame, kTextBoxId);
            const HWND label = GetDlgItem(frame, kLabelId);
            EXPECT_EQ(PlaceInWindow(box), row.box);
            EXPECT_EQ(PlaceInWindow(label), row.label);
            EXPECT_EQ(PlaceInWindow(GetDlgItem(frame, kConvertButtonId)), row.button);
            EXPECT_EQ(FontOf(box).lfHeight, row.listingFont);
            EXPECT_EQ(FontOf(label).lfHeight, row.listingFont);
            EXPECT_EQ(std::wstring_view(FontOf(box).lfFaceName), L"Courier New");
            EXPECT_EQ(IconWidth(frame, ICON_SMALL), row.smallIcon);
            EXPECT_EQ(IconWidth(frame, ICON_BIG), row.bigIcon);
        }
    }
}

// The leftmost dark pixel of `control` as it paints itself, in its parent's coordinates; -1 if none.
// Painted into a bitmap of its own (PrintWindow) rather than read back from the screen, which Wine 10
// updates after the window has painted: a busy machine would otherwise show a layout half drawn.
LONG FirstInk(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    const int width = std::min<LONG>(place.right - place.left, 200);
    const int height = place.bottom - place.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, place.right - place.left, height);
    HGDIOBJ earlier = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, place.right - place.left, height, WHITENESS);
    PrintWindow(control, memory, 0);
    LONG first = -1;
    for (int x = 0; x < width && first < 0; ++x) {
        for (int y = 4; y < height - 4; ++y) {  // inside the border
            const COLORREF pixel = GetPixel(memory, x, y);
            if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 96) {
                first = x;
                break;
            }
        }
    }
    SelectObject(memory, earlier);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    POINT origin{place.left, place.top};
    ScreenToClient(GetParent(control), &origin);
    return first < 0 ? -1 : origin.x + first;
}

// Each column name stands over its column: the header pasted into the box starts where the label's
// does, at every DPI.
TEST_F(FrmDravikWin32Test, HeaderStandsOverThePastedColumns) {
    SetTextOf(txtR, Text(kColumnHeader));
    // No caret at the line's start to be taken for text: the focus leaves the box, and should a busy
    // desktop keep it there, the caret stands at the header's far end.
    SendMessageW(txtR, EM_SETSEL, kColumnHeader.size(), static_cast<LPARAM>(kColumnHeader.size()));
    SetFocus(cmdR);
    for (const int dpi : {96, 144, 192}) {
        MoveToDpi(window_.handle(), dpi);
        RedrawWindow(window_.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(window_);
        const LONG label = FirstInk(Label1);
        const LONG box = FirstInk(txtR);
        ASSERT_GT(label, 0) << dpi;
        // Wine's EDIT draws the first glyph up to 2 px left of where the label draws it (Wine 10 at 144
        // DPI, Wine 8 and 10 at 192), a twelfth of a character cell; the cells themselves start together.
        EXPECT_LE(std::abs(label - box), dpi < 144 ? 1 : 2)
            << dpi << ": label at " << label << ", listing at " << box;
    }
}

// Windows names an EDIT after the static text just before it; the box must not be nameless to Narrator.
TEST_F(FrmDravikWin32Test, ScreenReadersHearTheBoxsName) {
    // What a screen reader asks: the box's accessible object, as the system makes it for an EDIT.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IAccessible* box = nullptr;
    const HRESULT made = AccessibleObjectFromWindow(txtR, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                    reinterpret_cast<void**>(&box));
    if (made == E_NOINTERFACE && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        // Wine makes none for an EDIT. Windows names it after the label just before it in the window
        // list: hidden, so that it takes no room and no tab.
        HWND label = GetWindow(txtR, GW_HWNDPREV);
        wchar_t kind[16] = {};
        GetClassNameW(label, kind, 16);
        EXPECT_EQ(_wcsicmp(kind, L"Static"), 0);
        EXPECT_EQ(TextOf(label), u"Route listing");
        EXPECT_FALSE(IsWindowVisible(label));
    } else {
        ASSERT_EQ(made, S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        EXPECT_EQ(box->get_accName(self, &name), S_OK);
        EXPECT_EQ(std::wstring(name != nullptr ? name : L""), L"Route listing");
        SysFreeString(name);
        box->Release();
    }
    CoUninitialize();
    EXPECT_EQ(GetNextDlgTabItem(window_.handle(), cmdR, FALSE), txtR);  // the label takes no tab
}

// The keys, pressed one after another from the box holding "listing" with the caret after "lis": where
// the focus then is, what the box holds and what a conversion said, if one ran.
TEST_F(FrmDravikWin32Test, KeysMoveConvertAndEdit) {
    struct Step {
        const char* name;
        WPARAM key;
        bool shift;
        bool control;
        HWND focus;
        TextView text;
        TextView said;
    };
    const TextView notEnough = u"Not enough or invalid points!";
    const Step steps[] = {
        {"Esc in the box", VK_ESCAPE, false, false, txtR, u"listing", {}},
        {"Tab", VK_TAB, false, false, cmdR, u"listing", {}},
        {"Esc on the button", VK_ESCAPE, false, false, cmdR, u"listing", {}},
        {"Space on the button", VK_SPACE, false, false, cmdR, u"listing", notEnough},
        {"Enter on the button", VK_RETURN, false, false, cmdR, u"listing", notEnough},
        {"Shift+Tab", VK_TAB, true, false, txtR, u"listing", {}},
        // The caret stayed after "lis", nothing selected, and no tab was typed.
        {"Enter in the box", VK_RETURN, false, false, txtR, u"lis\r\nting", {}},
        {"Shift+Tab from the box", VK_TAB, true, false, cmdR, u"lis\r\nting", {}},
        {"Tab from the button", VK_TAB, false, false, txtR, u"lis\r\nting", {}},
        {"Ctrl+A", 'A', false, true, txtR, u"lis\r\nting", {}},
        {"Ctrl+V replaces what Ctrl+A selected", 'V', false, true, txtR, u"pasted", {}},
    };
    SetTextOf(txtR, u"listing");
    SendMessageW(txtR, EM_SETSEL, 3, 3);
    PutOnClipboard(L"pasted");
    for (const Step& step : steps) {
        window_.said.clear();
        Press(window_, step.key, step.shift, step.control);
        ASSERT_TRUE(IsWindow(window_.handle())) << step.name;
        EXPECT_EQ(GetFocus(), step.focus) << step.name;
        EXPECT_EQ(TextOf(txtR), step.text) << step.name;
        EXPECT_EQ(window_.said, step.said) << step.name;
    }
}

// Shift+F10 opens the box's own context menu (Undo, Paste and the rest), as the Menu key does. The menu
// runs a loop of its own, in which a thread timer finds it and ends it.
TEST_F(FrmDravikWin32Test, ShiftF10OpensTheContextMenu) {
    static bool opened = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND menu = FindWindowW(L"#32768", nullptr);  // the system's class for a popup menu
        if (menu != nullptr && IsWindowVisible(menu)) {
            opened = true;
            EndMenu();
        }
    });
    Press(window_, VK_F10, /*shift=*/true);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(opened);
}

TEST_F(FrmDravikWin32Test, EveryLineBreakReachesTheCommandAsCrLf) {
    SetTextOf(txtR, u"crlf\r\nlf\ncr\rtab\tend");
    EXPECT_EQ(window_.ReadText(), u"crlf\r\nlf\r\ncr\r\ntab\tend");
}

// Enter held on the button: one conversion, one message; the repeats answer nothing and press nothing,
// and after "Done!" they type nothing into the box that has the focus again, where Ctrl+Z (or the
// context menu's Undo) brings the listing back.
TEST_F(FrmDravikWin32Test, HeldEnterConvertsOnce) {
    window_.realBoxes = true;
    SetTextOf(txtR, kExampleListing);
    SetFocus(cmdR);
    MessageBoxAnswerer answer([](HWND box) {
        // Repeats reach the box first: it must stay until it is answered.
        HWND ok = GetDlgItem(box, IDOK);
        for (int i = 0; i < 3; ++i) {
            PostMessageW(ok != nullptr ? ok : box, WM_KEYDOWN, VK_RETURN, 0x40000001);
        }
    });
    MSG press{cmdR, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    window_.Dispatch(press);
    Pump(window_);
    for (int i = 0; i < 5; ++i) {
        MSG repeat{GetFocus(), WM_KEYDOWN, VK_RETURN, 0x40000001, 0, {}};
        window_.Dispatch(repeat);
        Pump(window_);
    }
    EXPECT_EQ(answer.boxes, 1);
    EXPECT_EQ(answer.title, u"Dravik");
    EXPECT_EQ(answer.text, u"Done!");
    EXPECT_EQ(answer.icon, LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(ReadBytes(folder_.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
    EXPECT_EQ(GetFocus(), txtR);  // ready for Ctrl+Z or the next paste
    EXPECT_TRUE(TextOf(txtR).empty());
    Press(window_, 'Z', false, /*control=*/true);
    EXPECT_EQ(window_.ReadText(), kExampleListing);
    SendMessageW(txtR, WM_UNDO, 0, 0);  // undoing again redoes, as the box's one level of undo does
    EXPECT_TRUE(TextOf(txtR).empty());
}

// A stop message leaves the text, and what Ctrl+Z would undo, as they were; a close request while it is
// open (Alt+F4 reaches the window through the task bar or another program) does not end the program:
// the message may say the listing stays.
TEST_F(FrmDravikWin32Test, StopMessageKeepsTheTextItsUndoAndTheWindow) {
    window_.realBoxes = true;
    SetTextOf(txtR, PointLine(u"ONLY"));
    const WPARAM end = PointLine(u"ONLY").size();
    SendMessageW(txtR, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(txtR, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" typed"));
    const Text before = TextOf(txtR);
    MessageBoxAnswerer answer([](HWND box) { SendMessageW(GetWindow(box, GW_OWNER), WM_CLOSE, 0, 0); });
    SendMessageW(cmdR, BM_CLICK, 0, 0);
    Pump(window_);
    EXPECT_EQ(answer.text, u"Not enough or invalid points!");
    EXPECT_EQ(answer.icon, LoadIconW(nullptr, IDI_ERROR));
    ASSERT_TRUE(IsWindow(window_.handle()));
    EXPECT_EQ(TextOf(txtR), before);
    SetFocus(txtR);
    Press(window_, 'Z', false, /*control=*/true);
    EXPECT_EQ(TextOf(txtR), PointLine(u"ONLY"));
    SendMessageW(window_.handle(), WM_CLOSE, 0, 0);  // with no message open, closing works
    EXPECT_EQ(window_.handle(), nullptr);
}

// A window the system refuses leaves a handle of nothing and the reason, for the stop message.
TEST(FrmDravikWin32LifetimeTest, RefusedWindowIsReported) {
    const HHOOK refuse = SetWindowsHookExW(
        WH_CBT, [](int code, WPARAM, LPARAM) -> LRESULT { return code == HCBT_CREATEWND ? 1 : 0; }, nullptr,
        GetCurrentThreadId());
    {
        frmDravik window(GetModuleHandleW(nullptr));
        EXPECT_EQ(window.handle(), nullptr);
        EXPECT_NE(window.CreationError(), DWORD{ERROR_SUCCESS});
    }
    UnhookWindowsHookEx(refuse);
}

// A line too long to wrap quickly gets a box that scrolls sideways, in the same place and tab order,
// with the text, its selection and the focus; a listing pasted over it wraps again. Each paste undoes.
TEST_F(FrmDravikWin32Test, LongLineScrollsSideways) {
    const auto wraps = [](HWND box) { return (GetWindowLongW(box, GWL_STYLE) & ES_AUTOHSCROLL) == 0; };
    SetTextOf(txtR, u"typed ");
    SendMessageW(txtR, EM_SETSEL, 6, 6);
    const Text longLine(129, u'x');
    PutOnClipboard(std::wstring(longLine.begin(), longLine.end()));
    Press(window_, 'V', false, /*control=*/true);
    HWND box = GetDlgItem(window_.handle(), kTextBoxId);
    EXPECT_FALSE(wraps(box));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(PlaceInWindow(box), (Corners{8, 24, 681, 161}));
    EXPECT_EQ(GetNextDlgTabItem(window_.handle(), cmdR, FALSE), box);
    EXPECT_EQ(window_.ReadText(), u"typed " + longLine);
    SendMessageW(box, WM_UNDO, 0, 0);
    EXPECT_EQ(window_.ReadText(), u"typed ");
    SendMessageW(box, EM_SETSEL, 0, -1);
    PutOnClipboard(std::wstring(kExampleListing.begin(), kExampleListing.end()) + L"\r\n" +
                   std::wstring(128, L'y'));
    Press(window_, 'V', false, /*control=*/true);
    box = GetDlgItem(window_.handle(), kTextBoxId);
    EXPECT_TRUE(wraps(box));  // 128 units still wrap
    EXPECT_EQ(TextOf(box).size(), kExampleListing.size() + 2 + 128);
    Pump(window_);  // the boxes replaced are gone once their own keys have been handled
    EXPECT_EQ(FindWindowExW(window_.handle(), box, L"Edit", nullptr), nullptr);
    EXPECT_EQ(FindWindowExW(window_.handle(), nullptr, L"Edit", nullptr), box);
}

}  // namespace
}  // namespace dravik::win32

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
