// Dravik's one window on Windows, drawn with the Win32 API. The data flow, all inside one click on cmdR:
//
//   txtR (EDIT, pasted listing) --ReadText: every line break as CR LF--> cmdR_Click (conversion layer)
//       --> DepId-DestId.PLN beside the program
//       --> ShowMessage: "Done!" (then SetText empties txtR as one undoable edit) or a stop message
//
// It places and labels its controls from window_layout.h and window_texts.h, as the Qt window does, at the
// DPI of the monitor it is on, and places them again when it moves to a monitor with another. The EDIT wraps
// lines in time that grows with the square of their length, so a paste that would leave a line longer
// than kLongestWrappedLine gets a box that scrolls sideways instead, placed and styled alike.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "conversion/convert_command.h"

namespace dravik::win32 {

// The controls' IDs, for the dialog keyboard handling and for tests. Not IDOK or IDCANCEL: Enter and Esc
// send those, and the button is neither the window's default nor its cancel button.
inline constexpr int kTextBoxId = 101;
inline constexpr int kLabelId = 102;
inline constexpr int kConvertButtonId = 103;
inline constexpr int kTextBoxNameId = 104;  // the hidden label that names the box for screen readers

// Lines up to this long are wrapped in the box: a listing's are under 100 units, and lines this short
// wrap in about the time the listing's own take. A longer one makes the box scroll sideways.
inline constexpr std::size_t kLongestWrappedLine = 128;

// The program's icon in its resources (the first icon group, which Explorer shows).
inline constexpr int kIconResource = 1;

// The functions of Windows versions newer than the oldest Dravik runs on, looked up once. Each is null
// where the system lacks it (Windows 7 has none of them, 8.1 only GetDpiForMonitor), and the window then
// takes the older way; a test hands the window an empty table to run that way where Wine has them all.
struct NewerFunctions {
    UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;                                      // 10, 1607
    BOOL(WINAPI* AdjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;  // 10, 1607
    BOOL(WINAPI* SystemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;  // 10, 1607
    int(WINAPI* GetSystemMetricsForDpi)(int, UINT) = nullptr;                           // 10, 1607
    HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;           // 8.1, shcore
    std::shared_ptr<void> shcore;  // keeps GetDpiForMonitor's module loaded while a table holds it

    // The running system's.
    static NewerFunctions OfThisSystem();
};

class frmDravik : public ConvertHost {
public:
    // Creates the window, hidden; Show() shows it centred with the focus in the text box. Plans go beside
    // the program unless `outputDirectory` names another folder (tests do). When the system refuses
    // the window, handle() is null and CreationError() says why.
    explicit frmDravik(HINSTANCE instance,
                       std::optional<std::filesystem::path> outputDirectory = std::nullopt,
                       NewerFunctions newer = NewerFunctions::OfThisSystem());
    ~frmDravik() override;
    frmDravik(const frmDravik&) = delete;
    frmDravik& operator=(const frmDravik&) = delete;

    // Null once the window is gone, or when it could not be made.
    [[nodiscard]] HWND handle() const { return frm_; }
    [[nodiscard]] DWORD CreationError() const { return creationError_; }

    void Show(int showCommand);
    // The message loop; returns the program's exit code once the window is closed.
    int Run();
    // Handles one message as the loop does: the dialog keyboard handling (Tab, Space and Enter on the
    // button) first, then the window procedures.
    void Dispatch(MSG& message);

    Text ReadText() override;
    void SetText(const Text& text) override;
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListingBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR id, DWORD_PTR window);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Places the controls and makes their fonts and icons for `dpi` dots per inch.
    void Layout(int dpi);
    // Moves the window to `left`, `top` with the frame that makes its client area the layout's.
    void FitFrame(int left, int top);
    // Makes txtR, wrapping or scrolling sideways, in the place and z-order of the one it replaces.
    void CreateTextBox(bool wrapping);
    void PlaceTextBox();
    // The box's paste (Ctrl+V, Shift+Insert, the context menu), in a box that can hold the result quickly.
    void PasteIntoTextBox(HWND box);
    void cmdR_Click();

    std::optional<std::filesystem::path> outputDirectory_;
    NewerFunctions newer_;
    HWND frm_ = nullptr;
    HWND txtR = nullptr;
    HWND Label1 = nullptr;
    HWND cmdR = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    DWORD creationError_ = ERROR_SUCCESS;
    bool wrapping_ = true;
    WPARAM keyHeldOnButton_ = 0;  // Enter or Space, pressed on cmdR and not yet pressed again elsewhere
    int openMessages_ = 0;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT listingFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

}  // namespace dravik::win32
