// Dravik's one window on Windows, drawn with the Win32 API. The data flow, all inside one click on cmdR:
//
//   txtR (EDIT, pasted listing) --ReadText: every line break as CR LF--> cmdR_Click (conversion layer)
//       --> DepId-DestId.PLN beside the program
//       --> ShowMessage: "Done!" (then SetText empties txtR as one undoable edit) or a stop message
//
// It places and labels its controls from main_window_layout.h, as the Qt window does, at the DPI of the
// monitor it is on, and places them again when it moves to a monitor with another.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>

#include "conversion/convert_command.h"

namespace dravik {

// The controls' IDs, for the dialog keyboard handling and for tests. Not IDOK or IDCANCEL: Enter and Esc
// send those, and the button is neither the window's default nor its cancel button.
inline constexpr int kTextBoxId = 101;
inline constexpr int kLabelId = 102;
inline constexpr int kConvertButtonId = 103;

// The program's icon in its resources (the first icon group, which Explorer shows).
inline constexpr int kIconResource = 1;

class frmDravik : public ConvertHost {
public:
    // Creates the window, hidden; Show() shows it centred with the focus in the text box. Plans go beside
    // the program unless `outputDirectory` names another folder (tests do).
    explicit frmDravik(HINSTANCE instance,
                       std::optional<std::filesystem::path> outputDirectory = std::nullopt);
    ~frmDravik() override;
    frmDravik(const frmDravik&) = delete;
    frmDravik& operator=(const frmDravik&) = delete;

    [[nodiscard]] HWND handle() const { return frm_; }

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
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Places the controls and makes their fonts for `dpi` dots per inch.
    void Layout(int dpi);
    void cmdR_Click();

    std::optional<std::filesystem::path> outputDirectory_;
    HWND frm_ = nullptr;
    HWND txtR = nullptr;
    HWND Label1 = nullptr;
    HWND cmdR = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT listingFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
};

}  // namespace dravik
