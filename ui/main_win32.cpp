// Starts Dravik on Windows: one window, no command line, no settings. How it scales on each monitor and
// which controls it draws with are set in its manifest (dravik.manifest.in).
#include "ui/frm_dravik_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    dravik::frmDravik window(instance);
    window.Show(showCommand);
    return window.Run();
}
