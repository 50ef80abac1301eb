#include "ui/win32/frm_dravik.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "text/line_breaks.h"
#include "ui/shared/window_layout.h"
#include "ui/shared/window_texts.h"

namespace dravik::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"DravikMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // close button, fixed size
constexpr UINT_PTR kListingBoxSubclass = 1;
constexpr WPARAM kControlA = 1;           // the character Ctrl+A types
constexpr UINT kDiscardControl = WM_APP;  // destroys the control in wParam, replaced by another

std::wstring Wide(TextView text) {
    return {text.begin(), text.end()};
}

// Sets `function` to `module`'s function of that name, or leaves it null.
template <typename Function>
void LookUp(Function*& function, HMODULE module, const char* name) {
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    // Through void(*)(): the one cast between function pointer types that no compiler warns about.
    function = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The DPI of the monitor the window is on (Windows 10 1607 and later); the screen's elsewhere.
int WindowDpi(const NewerFunctions& newer, HWND window) {
    if (newer.GetDpiForWindow != nullptr) {
        if (const UINT dpi = newer.GetDpiForWindow(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

// The window's outer size for a client area of kClientArea at `dpi`, its frame included.
SIZE FrameSize(const NewerFunctions& newer, int dpi) {
    RECT frame{0, 0, TwipsToPixels(kClientArea.width, dpi), TwipsToPixels(kClientArea.height, dpi)};
    if (newer.AdjustWindowRectExForDpi != nullptr) {
        newer.AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, 0, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT Place(const TwipsRect& twips, int dpi) {
    const int left = MulDiv(twips.left, dpi, kTwipsPerInch);
    const int top = MulDiv(twips.top, dpi, kTwipsPerInch);
    return {left, top, left + MulDiv(twips.width, dpi, kTwipsPerInch),
            top + MulDiv(twips.height, dpi, kTwipsPerInch)};
}

void MoveTo(HWND control, const TwipsRect& twips, int dpi) {
    const RECT place = Place(twips, dpi);
    MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

HWND CreateControl(HWND parent, DWORD exStyle, const wchar_t* kind, TextView text, DWORD style, int id) {
    return CreateWindowExW(exStyle, kind, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

// Courier New 9.75 pt; FIXED_PITCH | FF_MODERN lets Windows pick another fixed-pitch face where Courier
// New is missing, so the label's columns still stand over the listing.
HFONT CreateListingFont(int dpi) {
    return CreateFontW(-MulDiv(kListingFontCentipoints, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, Wide(kListingFontFace).c_str());
}

// The desktop's message font at `dpi`, which is what a button shows when nobody chose another.
HFONT CreateButtonFont(const NewerFunctions& newer, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (newer.SystemParametersInfoForDpi != nullptr) {
        if (!newer.SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                              static_cast<UINT>(dpi))) {
            return nullptr;
        }
    } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    } else {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                         LR_DEFAULTCOLOR | LR_SHARED));
}

// An icon's size at `dpi`: asked for that DPI from Windows 10 1607 on.
int MetricForDpi(const NewerFunctions& newer, int metric, int dpi) {
    if (newer.GetSystemMetricsForDpi != nullptr) {
        return newer.GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi));
    }
    return MulDiv(GetSystemMetrics(metric), dpi, ScreenDpi());
}

// The program's icon drawn for `dpi`, owned by the caller.
HICON ProgramIconForDpi(const NewerFunctions& newer, int widthMetric, int heightMetric, int dpi) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource),
                                         IMAGE_ICON, MetricForDpi(newer, widthMetric, dpi),
                                         MetricForDpi(newer, heightMetric, dpi), LR_DEFAULTCOLOR));
}

// The DPI of `monitor` (Windows 8.1 and later); the screen's elsewhere. A hidden window would report the
// primary monitor's.
int MonitorDpi(const NewerFunctions& newer, HMONITOR monitor) {
    UINT x = 0;
    UINT y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    const bool found = newer.GetDpiForMonitor != nullptr &&
                       SUCCEEDED(newer.GetDpiForMonitor(monitor, kEffectiveDpi, &x, &y));
    return found && y > 0 ? static_cast<int>(y) : ScreenDpi();
}

// Inside a modal message box: a key held down since before it opened (Enter held on the button) repeats,
// and a repeat must not answer the box unread. Nothing the box does is a repeat of a key.
LRESULT CALLBACK IgnoreRepeatsInMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
        (message->lParam & (LPARAM{1} << 30)) != 0) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A thread hook for as long as it lives.
class ThreadHook {
public:
    ThreadHook(int kind, HOOKPROC procedure)
        : hook_(SetWindowsHookExW(kind, procedure, nullptr, GetCurrentThreadId())) {}
    ~ThreadHook() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }
    ThreadHook(const ThreadHook&) = delete;
    ThreadHook& operator=(const ThreadHook&) = delete;

private:
    HHOOK hook_;
};

// The clipboard's text, or nothing when it holds none (or its owner has gone).
std::optional<std::wstring> ClipboardText(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data)); units != nullptr) {
            text.emplace(units, wcsnlen(units, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The box's selection, start before end, within a text of `size` units.
std::pair<DWORD, DWORD> SelectionWithin(HWND box, std::size_t size) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    start = std::min<DWORD>(start, static_cast<DWORD>(size));
    return {start, std::clamp<DWORD>(end, start, static_cast<DWORD>(size))};
}

std::wstring TextOfWindow(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

NewerFunctions NewerFunctions::OfThisSystem() {
    NewerFunctions newer;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    LookUp(newer.GetDpiForWindow, user32, "GetDpiForWindow");
    LookUp(newer.AdjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
    LookUp(newer.SystemParametersInfoForDpi, user32, "SystemParametersInfoForDpi");
    LookUp(newer.GetSystemMetricsForDpi, user32, "GetSystemMetricsForDpi");
    // Only from the system folder: a shcore.dll beside the program must never be loaded.
    if (HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        newer.shcore.reset(shcore, [](void* module) { FreeLibrary(static_cast<HMODULE>(module)); });
        LookUp(newer.GetDpiForMonitor, shcore, "GetDpiForMonitor");
    }
    return newer;
}

frmDravik::frmDravik(HINSTANCE instance, std::optional<std::filesystem::path> outputDirectory,
                     NewerFunctions newer)
    : outputDirectory_(std::move(outputDirectory)), newer_(std::move(newer)) {
    // The manifest asks for version 6 of the common controls: the themed EDIT and BUTTON.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &frmDravik::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);  // a second window of the same class (in tests) finds it registered

    // WM_NCCREATE binds this object to the window (frm_); a refused window leaves frm_ null.
    if (CreateWindowExW(0, kWindowClass, Wide(kProgramName).c_str(), kWindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this) == nullptr) {
        creationError_ = GetLastError();
        frm_ = nullptr;
        return;
    }
    // Created in tab order: the box's name for screen readers (a hidden label just before it, where
    // Windows looks for an EDIT's name), text box, label, button.
    CreateWindowExW(0, L"STATIC", Wide(kTextBoxAccessibleName).c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0,
                    0, 0, 0, frm_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextBoxNameId)), instance,
                    nullptr);
    CreateTextBox(/*wrapping=*/true);
    Label1 = CreateControl(frm_, 0, L"STATIC", kColumnHeader, SS_LEFT | SS_NOPREFIX, kLabelId);
    cmdR = CreateControl(frm_, 0, L"BUTTON", kButtonCaption, WS_TABSTOP | BS_PUSHBUTTON, kConvertButtonId);

    Layout(WindowDpi(newer_, frm_));
    RECT placed{};
    GetWindowRect(frm_, &placed);
    FitFrame(placed.left, placed.top);
}

frmDravik::~frmDravik() {
    if (frm_ != nullptr) {
        DestroyWindow(frm_);
    }
    for (HFONT font : {listingFont_, buttonFont_}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

void frmDravik::CreateTextBox(bool wrapping) {
    // Without ES_AUTOHSCROLL a multi-line EDIT wraps; with it, it scrolls sideways. The style cannot
    // change once the box exists, so another box takes the place of this one.
    const DWORD sideways = wrapping ? 0 : WS_HSCROLL | ES_AUTOHSCROLL;
    HWND earlier = txtR;
    txtR = CreateControl(frm_, WS_EX_CLIENTEDGE, L"EDIT", u"",
                         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | sideways,
                         kTextBoxId);
    wrapping_ = wrapping;
    SetWindowSubclass(txtR, &ListingBoxProcedure, kListingBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(txtR, EM_SETLIMITTEXT, 0, 0);  // no length limit of the box's own
    if (earlier == nullptr) {
        return;
    }
    SetWindowPos(txtR, earlier, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // same tab order
    SendMessageW(txtR, WM_SETFONT, reinterpret_cast<WPARAM>(listingFont_), FALSE);
    PlaceTextBox();
    // The text and the selection move over, but a wrapping box gets only what lies outside the
    // selection: the selected line is the long one the paste replaces, and wrapping it would take
    // minutes. The paste's Undo then leaves that line out.
    std::wstring text = TextOfWindow(earlier);
    auto [start, end] = SelectionWithin(earlier, text.size());
    if (wrapping) {
        text.erase(start, end - start);
        end = start;
    }
    SetWindowTextW(txtR, text.c_str());
    SendMessageW(txtR, EM_SETSEL, start, end);
    const bool focused = GetFocus() == earlier;
    if (focusBeforeDeactivation_ == earlier) {
        focusBeforeDeactivation_ = txtR;
    }
    // The earlier box may be inside its own key handling (Ctrl+V): it goes once that has returned.
    SetWindowLongPtrW(earlier, GWLP_ID, 0);
    SetWindowLongW(earlier, GWL_STYLE, GetWindowLongW(earlier, GWL_STYLE) & ~WS_TABSTOP);
    ShowWindow(earlier, SW_HIDE);
    PostMessageW(frm_, kDiscardControl, reinterpret_cast<WPARAM>(earlier), 0);
    if (focused) {
        SetFocus(txtR);
    }
}

void frmDravik::PlaceTextBox() {
    MoveTo(txtR, kTextBoxPlace, dpi_);
    // The text starts where the label's does, so that each column name stands over its column: the
    // box's border and the EDIT's own inset (its format rectangle with no margin) would push it right.
    SendMessageW(txtR, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(0, 0));
    RECT format{};
    SendMessageW(txtR, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    POINT textStart{format.left, 0};
    MapWindowPoints(txtR, frm_, &textStart, 1);
    const int margin = std::max(0, static_cast<int>(Place(kLabelPlace, dpi_).left - textStart.x));
    SendMessageW(txtR, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(margin, 0));
}

void frmDravik::Layout(int dpi) {
    dpi_ = dpi;
    HFONT listingFont = CreateListingFont(dpi);
    HFONT buttonFont = CreateButtonFont(newer_, dpi);
    SendMessageW(txtR, WM_SETFONT, reinterpret_cast<WPARAM>(listingFont), TRUE);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(listingFont), TRUE);
    if (buttonFont != nullptr) {
        SendMessageW(cmdR, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont), TRUE);
    }
    // The controls hold the fonts they show, so the earlier ones may go only now.
    if (listingFont_ != nullptr) {
        DeleteObject(listingFont_);
    }
    if (buttonFont_ != nullptr) {
        DeleteObject(buttonFont_);
    }
    listingFont_ = listingFont;
    buttonFont_ = buttonFont;
    PlaceTextBox();
    MoveTo(Label1, kLabelPlace, dpi);
    MoveTo(cmdR, kButtonPlace, dpi);

    // The title bar's and the task bar's icons, drawn for this DPI rather than scaled from the system's.
    HICON bigIcon = ProgramIconForDpi(newer_, SM_CXICON, SM_CYICON, dpi);
    HICON smallIcon = ProgramIconForDpi(newer_, SM_CXSMICON, SM_CYSMICON, dpi);
    SendMessageW(frm_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(frm_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    bigIcon_ = bigIcon;
    smallIcon_ = smallIcon;
}

void frmDravik::FitFrame(int left, int top) {
    const SIZE frame = FrameSize(newer_, dpi_);
    SetWindowPos(frm_, nullptr, left, top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // A frame drawn at another DPI than the one asked for (a system that scales it its own way) shows
    // in the client area; take the difference up, so the layout's client area is exact.
    RECT client{};
    GetClientRect(frm_, &client);
    const int wider = TwipsToPixels(kClientArea.width, dpi_) - client.right;
    const int taller = TwipsToPixels(kClientArea.height, dpi_) - client.bottom;
    if (wider != 0 || taller != 0) {
        SetWindowPos(frm_, nullptr, 0, 0, frame.cx + wider, frame.cy + taller,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void frmDravik::Show(int showCommand) {
    // Centred on the monitor the window opens on, at that monitor's DPI.
    HMONITOR monitor = MonitorFromWindow(frm_, MONITOR_DEFAULTTOPRIMARY);
    if (const int dpi = MonitorDpi(newer_, monitor); dpi != dpi_) {
        Layout(dpi);
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    const SIZE frame = FrameSize(newer_, dpi_);
    FitFrame(work.left + (work.right - work.left - frame.cx) / 2,
             work.top + (work.bottom - work.top - frame.cy) / 2);
    ShowWindow(frm_, showCommand);
    UpdateWindow(frm_);
    SetFocus(txtR);
}

int frmDravik::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

void frmDravik::Dispatch(MSG& message) {
    // One press of Enter or Space on the button is one conversion: while the key is held, its repeats
    // press nothing, there or in the box that has the focus after "Done!".
    if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_SPACE)) {
        const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
        if (!repeat) {
            keyHeldOnButton_ = message.hwnd == cmdR ? message.wParam : 0;
        } else if (message.wParam == keyHeldOnButton_) {
            return;
        }
    }
    if (frm_ == nullptr || !IsDialogMessageW(frm_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

Text frmDravik::ReadText() {
    // Straight into the text handed over: wchar_t is a UTF-16 unit on Windows.
    const int length = GetWindowTextLengthW(txtR);
    Text text(static_cast<std::size_t>(length), u'\0');
    const int copied = GetWindowTextW(txtR, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return WithCrLfBreaks(text);
}

void frmDravik::SetText(const Text& text) {
    // Replaced as one edit rather than with SetWindowText, which would forget the undo: after "Done!",
    // Ctrl+Z brings the listing back. The focus goes to the box, ready for that or the next paste.
    SendMessageW(txtR, EM_SETSEL, 0, -1);
    SendMessageW(txtR, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    SetFocus(txtR);
}

void frmDravik::ShowMessage(const Text& text, MessageIcon icon, const Text& title) {
    const auto iconStyle =
        static_cast<UINT>(icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONSTOP);
    const ThreadHook ignoreRepeats(WH_MSGFILTER, &IgnoreRepeatsInMessages);
    ++openMessages_;  // the window refuses to close meanwhile: the message may say the text stays
    MessageBoxW(frm_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | iconStyle);
    --openMessages_;
}

void frmDravik::PasteIntoTextBox(HWND box) {
    // Decided from the text the paste leaves, so that a listing pasted over a long line wraps again.
    if (const std::optional<std::wstring> pasted = ClipboardText(frm_)) {
        std::wstring after = TextOfWindow(box);
        const auto [start, end] = SelectionWithin(box, after.size());
        after.replace(start, end - start, *pasted);
        const bool wrapping = LongestLine(TextView(reinterpret_cast<const char16_t*>(after.data()),
                                                   after.size())) <= kLongestWrappedLine;
        if (wrapping != wrapping_) {
            CreateTextBox(wrapping);
            SendMessageW(txtR, WM_PASTE, 0, 0);  // the new box's own paste, through its procedure
            return;
        }
    }
    DefSubclassProc(box, WM_PASTE, 0, 0);
}

void frmDravik::cmdR_Click() {
    // The command throws nothing: it reports its own failures, and the event loop never sees one.
    dravik::cmdR_Click(*this, outputDirectory_);
}

// The text box's own keys. Inside the dialog keyboard handling a multi-line EDIT closes its window on
// Esc, so Esc does nothing here; Ctrl+A, which the EDIT only beeps at, selects the whole listing; and
// tabbing into the box leaves the caret where it was instead of selecting everything, as in the Qt
// window, so that a keystroke cannot replace the listing unseen. Every paste goes through the window.
LRESULT CALLBACK frmDravik::ListingBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR id, DWORD_PTR window) {
    switch (message) {
        case WM_GETDLGCODE:
            return DefSubclassProc(box, message, wParam, lParam) & ~static_cast<LRESULT>(DLGC_HASSETSEL);
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam == VK_ESCAPE) {
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_ESCAPE) {
                return 0;
            }
            if (wParam == kControlA) {
                SendMessageW(box, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_PASTE:
            try {
                reinterpret_cast<frmDravik*>(window)->PasteIntoTextBox(box);
            } catch (const std::exception&) {
                MessageBeep(MB_ICONHAND);  // too little memory to look at the paste: it does not happen
            }
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, &ListingBoxProcedure, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

LRESULT CALLBACK frmDravik::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Bound from the first message to the last: WM_NCCREATE to WM_NCDESTROY.
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<frmDravik*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->frm_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<frmDravik*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->frm_ = nullptr;
        self->txtR = self->Label1 = self->cmdR = self->focusBeforeDeactivation_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(window, message, wParam, lParam);
}

LRESULT frmDravik::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // A click, or Enter on the focused button, as in the Qt window; Enter elsewhere and Esc
            // (IDOK, IDCANCEL) do nothing.
            if ((LOWORD(wParam) == kConvertButtonId && HIWORD(wParam) == BN_CLICKED) ||
                (LOWORD(wParam) == IDOK && GetFocus() == cmdR)) {
                cmdR_Click();
            }
            return 0;
        case WM_NEXTDLGCTL: {
            // Tab and Shift+Tab in the text box: the EDIT asks its parent to move the focus, as it would
            // ask a dialog.
            HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                            : GetNextDlgTabItem(frm_, GetFocus(), wParam != 0);
            if (next != nullptr) {
                SetFocus(next);
            }
            return 0;
        }
        case WM_GETDPISCALEDSIZE: {
            // Windows 10 1703 on asks before a move to a monitor with another scale: the frame does not
            // scale linearly, so say exactly what the twips layout needs there.
            *reinterpret_cast<SIZE*>(lParam) = FrameSize(newer_, static_cast<int>(wParam));
            return TRUE;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor with another scale: the same twips at the new DPI, where Windows
            // suggests, with the frame that makes the client area exactly the layout's.
            Layout(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            FitFrame(suggested->left, suggested->top);
            return 0;
        }
        case WM_ACTIVATE:
            // Give the focus back to the control that had it, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ != nullptr) {
                SetFocus(focusBeforeDeactivation_);
            }
            return 0;
        case WM_CLOSE:
            // While a message is open the listing must stay: "Could not save" promises it.
            if (openMessages_ == 0) {
                DestroyWindow(window);
            }
            return 0;
        case kDiscardControl:
            DestroyWindow(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace dravik::win32
