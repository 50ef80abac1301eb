// Starts Dravik: one window, no command line, no settings.
#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <csignal>
#endif

#include "ui/frm_dravik.h"

namespace {

// Without a display Qt would abort with a core dump; say what is missing instead.
bool HasDisplay() {
#if defined(__linux__) || defined(__unix__)
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        std::fputs(
            "Dravik is a desktop program and needs a graphical display, but none was found "
            "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
            stderr);
        return 1;
    }
#ifndef _WIN32
    // Past a file-size limit, write() must fail with "File too large" and be reported, rather than the
    // signal ending the program with the user's text in it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    dravik::frmDravik window;
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
