// Starts Dravik on Windows: one window, no command line, no settings.
#include "ui/frm_dravik_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    SetProcessDPIAware();  // place the controls at the screen's real resolution, not a scaled 96 DPI
    dravik::frmDravik window(instance);
    window.Show(showCommand);
    return window.Run();
}
