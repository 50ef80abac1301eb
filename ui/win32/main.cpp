// Starts Dravik on Windows: one window, no command line, no settings. How it scales on each monitor and
// which controls it draws with are set in its manifest (dravik.manifest.in).
#include <system_error>

#include "platform/platform.h"
#include "ui/shared/window_texts.h"
#include "ui/win32/frm_dravik.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    dravik::win32::frmDravik window(instance);
    if (window.handle() == nullptr) {
        // A system out of window resources, or a policy refusing the window: say so, and fail.
        dravik::Text message(dravik::kWindowFailedMessage);
        if (const DWORD error = window.CreationError(); error != ERROR_SUCCESS) {
            message += u'\n' + dravik::SystemReason({static_cast<int>(error), std::system_category()});
        }
        MessageBoxW(nullptr, std::wstring(message.begin(), message.end()).c_str(),
                    std::wstring(dravik::kProgramName.begin(), dravik::kProgramName.end()).c_str(),
                    MB_OK | MB_ICONSTOP);
        return 1;
    }
    window.Show(showCommand);
    return window.Run();
}
