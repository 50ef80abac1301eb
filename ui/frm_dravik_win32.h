// Dravik's one window on Windows, drawn with the Win32 API. The data flow, all inside one click on cmdR:
//
//   txtR (EDIT, pasted listing) --ReadText: every line break as CR LF--> cmdR_Click (conversion layer)
//       --> DepId-DestId.PLN beside the program
//       --> ShowMessage: "Done!" (then SetText empties txtR) or a stop message (txtR kept)
//
// It places and labels its controls from main_window_layout.h, as the Qt window does.
#pragma once

#include <windows.h>

#include "conversion/convert_command.h"

namespace dravik {

class frmDravik : public ConvertHost {
public:
    // Creates the window, hidden; Show() shows it centred with the focus in the text box.
    explicit frmDravik(HINSTANCE instance);
    ~frmDravik() override;
    frmDravik(const frmDravik&) = delete;
    frmDravik& operator=(const frmDravik&) = delete;

    void Show(int showCommand);
    // The message loop, with dialog keyboard handling (Tab, Space and Enter on the button); returns the
    // program's exit code once the window is closed.
    int Run();

    Text ReadText() override;
    void SetText(const Text& text) override;
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void cmdR_Click();

    HWND frm_ = nullptr;
    HWND txtR = nullptr;
    HWND Label1 = nullptr;
    HWND cmdR = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    HFONT listingFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    HICON icon_ = nullptr;
};

}  // namespace dravik
