#include "ui/frm_dravik_win32.h"

#include <string>

#include "ui/main_window_layout.h"

namespace dravik {

namespace {

constexpr wchar_t kWindowClass[] = L"DravikMainWindow";
// Not IDOK or IDCANCEL: the dialog keyboard handling sends those for Enter and Esc, and the button is
// neither the window's default nor its cancel button.
constexpr int kConvertButtonId = 100;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // close button, fixed size

std::wstring Wide(TextView text) {
    return {text.begin(), text.end()};
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

RECT Place(const TwipsRect& twips, int dpi) {
    const int left = MulDiv(twips.left, dpi, kTwipsPerInch);
    const int top = MulDiv(twips.top, dpi, kTwipsPerInch);
    return {left, top, left + MulDiv(twips.width, dpi, kTwipsPerInch),
            top + MulDiv(twips.height, dpi, kTwipsPerInch)};
}

HWND CreateControl(HWND parent, DWORD exStyle, const wchar_t* kind, TextView text, DWORD style,
                   const RECT& place, int id) {
    return CreateWindowExW(exStyle, kind, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                           place.top, place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

// Courier New 9.75 pt; FIXED_PITCH | FF_MODERN lets Windows pick another fixed-pitch face where Courier
// New is missing, so the label's columns still stand over the listing.
HFONT CreateListingFont(int dpi) {
    return CreateFontW(-MulDiv(kListingFontCentipoints, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, Wide(kListingFontFace).c_str());
}

// The desktop's message font, which is what a button shows when nobody chose another.
HFONT CreateDefaultFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    return nullptr;
}

// A route on a chart: three waypoints joined by legs, like the Qt window's icon.
HICON CreateRouteIcon() {
    constexpr int kSize = 32;
    HDC screen = GetDC(nullptr);
    HDC draw = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, kSize, kSize);
    HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);

    HGDIOBJ old = SelectObject(draw, mask);
    PatBlt(draw, 0, 0, kSize, kSize, BLACKNESS);  // black mask: every pixel opaque
    SelectObject(draw, colour);
    HBRUSH sky = CreateSolidBrush(RGB(0x1f, 0x6f, 0xb5));
    const RECT all{0, 0, kSize, kSize};
    FillRect(draw, &all, sky);
    HPEN leg = CreatePen(PS_SOLID, 2, RGB(0xff, 0xff, 0xff));
    SelectObject(draw, leg);
    const POINT route[] = {{7, 24}, {15, 11}, {25, 8}};
    Polyline(draw, route, 3);
    HBRUSH gold = CreateSolidBrush(RGB(0xff, 0xc8, 0x3d));
    SelectObject(draw, gold);
    SelectObject(draw, GetStockObject(NULL_PEN));
    for (const POINT& point : route) {
        Ellipse(draw, point.x - 3, point.y - 3, point.x + 4, point.y + 4);
    }
    SelectObject(draw, old);

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(gold);
    DeleteObject(leg);
    DeleteObject(sky);
    DeleteObject(mask);
    DeleteObject(colour);
    DeleteDC(draw);
    return icon;
}

}  // namespace

frmDravik::frmDravik(HINSTANCE instance) : icon_(CreateRouteIcon()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &frmDravik::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon_;
    windowClass.hIconSm = icon_;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    const int dpi = ScreenDpi();
    RECT frame = Place(kClientArea, dpi);
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    frm_ = CreateWindowExW(0, kWindowClass, Wide(kProgramName).c_str(), kWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                           nullptr, instance, this);

    listingFont_ = CreateListingFont(dpi);
    buttonFont_ = CreateDefaultFont();
    // Created in tab order: text box, label, button.
    txtR = CreateControl(frm_, WS_EX_CLIENTEDGE, L"EDIT", u"",
                         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                         Place(kTextBoxPlace, dpi), 0);
    Label1 =
        CreateControl(frm_, 0, L"STATIC", kColumnHeader, SS_LEFT | SS_NOPREFIX, Place(kLabelPlace, dpi), 0);
    cmdR = CreateControl(frm_, 0, L"BUTTON", kButtonCaption, WS_TABSTOP | BS_PUSHBUTTON,
                         Place(kButtonPlace, dpi), kConvertButtonId);
    SendMessageW(txtR, EM_SETLIMITTEXT, 0, 0);  // no length limit of the box's own
    SendMessageW(txtR, WM_SETFONT, reinterpret_cast<WPARAM>(listingFont_), FALSE);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(listingFont_), FALSE);
    if (buttonFont_ != nullptr) {
        SendMessageW(cmdR, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_), FALSE);
    }
}

frmDravik::~frmDravik() {
    if (frm_ != nullptr) {
        DestroyWindow(frm_);
    }
    DeleteObject(listingFont_);
    if (buttonFont_ != nullptr) {
        DeleteObject(buttonFont_);
    }
    DestroyIcon(icon_);
}

void frmDravik::Show(int showCommand) {
    RECT window{};
    GetWindowRect(frm_, &window);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(frm_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(frm_, showCommand);
    UpdateWindow(frm_);
    SetFocus(txtR);
}

int frmDravik::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(frm_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

Text frmDravik::ReadText() {
    const int length = GetWindowTextLengthW(txtR);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(txtR, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return WithCrLfBreaks(Text(text.begin(), text.end()));
}

void frmDravik::SetText(const Text& text) {
    SetWindowTextW(txtR, Wide(text).c_str());
}

void frmDravik::ShowMessage(const Text& text, MessageIcon icon, const Text& title) {
    const auto iconStyle =
        static_cast<UINT>(icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONSTOP);
    MessageBoxW(frm_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | iconStyle);
}

void frmDravik::cmdR_Click() {
    dravik::cmdR_Click(*this);
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
    return self->Handle(message, wParam, lParam);
}

LRESULT frmDravik::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kConvertButtonId && HIWORD(wParam) == BN_CLICKED) {
                cmdR_Click();
            }
            return 0;  // IDOK and IDCANCEL from Enter and Esc do nothing
        case WM_ACTIVATE:
            // Give the focus back to the control that had it, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ != nullptr) {
                SetFocus(focusBeforeDeactivation_);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(frm_);
            return 0;
        case WM_DESTROY:
            frm_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(frm_, message, wParam, lParam);
    }
}

}  // namespace dravik
