#include "ui/frm_dravik_win32.h"

#include <commctrl.h>

#include <exception>
#include <string>

#include "ui/main_window_layout.h"

namespace dravik {

namespace {

constexpr wchar_t kWindowClass[] = L"DravikMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // close button, fixed size
constexpr UINT_PTR kListingBoxSubclass = 1;
constexpr WPARAM kControlA = 1;  // the character Ctrl+A types

std::wstring Wide(TextView text) {
    return {text.begin(), text.end()};
}

// A function of a newer Windows than the oldest Dravik runs on, or nothing there.
template <typename Function>
Function* NewerFunction(const wchar_t* module, const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(module), name);
    // Through void(*)(): the one cast between function pointer types that no compiler warns about.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The DPI of the monitor the window is on (Windows 10 1607 and later); the screen's elsewhere.
int WindowDpi(HWND window) {
    auto* const getDpiForWindow = NewerFunction<UINT WINAPI(HWND)>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

// The window's outer size for a client area of kClientArea at `dpi`, its frame included.
SIZE FrameSize(int dpi) {
    RECT frame{0, 0, TwipsToPixels(kClientArea.width, dpi), TwipsToPixels(kClientArea.height, dpi)};
    auto* const adjustForDpi = NewerFunction<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>(
        L"user32.dll", "AdjustWindowRectExForDpi");
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, kWindowStyle, FALSE, 0, static_cast<UINT>(dpi));
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
HFONT CreateButtonFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    auto* const metricsForDpi = NewerFunction<BOOL WINAPI(UINT, UINT, void*, UINT, UINT)>(
        L"user32.dll", "SystemParametersInfoForDpi");
    if (metricsForDpi != nullptr) {
        if (!metricsForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
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

// The text box's own keys. Inside the dialog keyboard handling a multi-line EDIT closes its window on
// Esc, so Esc does nothing here; Ctrl+A, which the EDIT only beeps at, selects the whole listing; and
// tabbing into the box leaves the caret where it was instead of selecting everything, as in the Qt
// window, so that a keystroke cannot replace the listing unseen.
LRESULT CALLBACK ListingBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR) {
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
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, &ListingBoxProcedure, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

frmDravik::frmDravik(HINSTANCE instance, std::optional<std::filesystem::path> outputDirectory)
    : outputDirectory_(std::move(outputDirectory)) {
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

    frm_ = CreateWindowExW(0, kWindowClass, Wide(kProgramName).c_str(), kWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    // Created in tab order: text box, label, button.
    txtR = CreateControl(frm_, WS_EX_CLIENTEDGE, L"EDIT", u"",
                         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, kTextBoxId);
    Label1 = CreateControl(frm_, 0, L"STATIC", kColumnHeader, SS_LEFT | SS_NOPREFIX, kLabelId);
    cmdR = CreateControl(frm_, 0, L"BUTTON", kButtonCaption, WS_TABSTOP | BS_PUSHBUTTON, kConvertButtonId);
    SetWindowSubclass(txtR, &ListingBoxProcedure, kListingBoxSubclass, 0);
    SendMessageW(txtR, EM_SETLIMITTEXT, 0, 0);  // no length limit of the box's own

    Layout(WindowDpi(frm_));
    const SIZE frame = FrameSize(dpi_);
    SetWindowPos(frm_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

frmDravik::~frmDravik() {
    if (frm_ != nullptr) {
        DestroyWindow(frm_);
    }
    DeleteObject(listingFont_);
    if (buttonFont_ != nullptr) {
        DeleteObject(buttonFont_);
    }
}

void frmDravik::Layout(int dpi) {
    dpi_ = dpi;
    HFONT listingFont = CreateListingFont(dpi);
    HFONT buttonFont = CreateButtonFont(dpi);
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
    MoveTo(txtR, kTextBoxPlace, dpi);
    MoveTo(Label1, kLabelPlace, dpi);
    MoveTo(cmdR, kButtonPlace, dpi);
}

void frmDravik::Show(int showCommand) {
    // Centred on the monitor the window opens on; if that one has another DPI, sized for it first.
    for (int attempt = 0; attempt < 2; ++attempt) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(frm_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        const SIZE frame = FrameSize(dpi_);
        SetWindowPos(frm_, nullptr, work.left + (work.right - work.left - frame.cx) / 2,
                     work.top + (work.bottom - work.top - frame.cy) / 2, frame.cx, frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (const int dpi = WindowDpi(frm_); dpi != dpi_) {
            Layout(dpi);
        } else {
            break;
        }
    }
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
    // Ctrl+Z brings the listing back.
    SendMessageW(txtR, EM_SETSEL, 0, -1);
    SendMessageW(txtR, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void frmDravik::ShowMessage(const Text& text, MessageIcon icon, const Text& title) {
    const auto iconStyle =
        static_cast<UINT>(icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONSTOP);
    MessageBoxW(frm_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | iconStyle);
}

void frmDravik::cmdR_Click() {
    // Nothing may unwind through the system's window procedures. The command reports its own failures,
    // running out of memory included; only showing its message could still fail here.
    try {
        if (outputDirectory_) {
            dravik::cmdR_Click(*this, *outputDirectory_);
        } else {
            dravik::cmdR_Click(*this);
        }
    } catch (const std::exception&) {
        MessageBeep(MB_ICONHAND);
    }
}

LRESULT CALLBACK frmDravik::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<frmDravik*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (self->frm_ == nullptr) {
        self->frm_ = window;
    }
    return self->Handle(window, message, wParam, lParam);
}

LRESULT frmDravik::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kConvertButtonId && HIWORD(wParam) == BN_CLICKED) {
                cmdR_Click();
            } else if (LOWORD(wParam) == IDOK && GetFocus() == cmdR) {
                cmdR_Click();  // Enter on the focused button presses it, as in the Qt window
            }
            return 0;  // Enter elsewhere and Esc (IDOK, IDCANCEL) do nothing
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
        case WM_DPICHANGED: {
            // Moved to a monitor with another scale: the same twips at the new DPI, in the place Windows
            // suggests.
            Layout(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(frm_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
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
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            frm_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace dravik
