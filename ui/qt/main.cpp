// Starts Dravik: one window, no command line, no settings.
#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

#include <csignal>

#include "ui/qt/frm_dravik.h"
#include "ui/shared/window_texts.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Where the window goes, unless the user chose with QT_QPA_PLATFORM. Beside Wayland, X11 (XWayland)
// first: an X11 window manager keeps a fixed-size window fixed and lets it centre itself, where a
// Wayland compositor may maximise it; each falls back to the other when it cannot be opened.
const char* ChosenPlatforms() {
    if (IsSet("QT_QPA_PLATFORM")) {
        return nullptr;
    }
    if (IsSet("WAYLAND_DISPLAY")) {
        return IsSet("DISPLAY") ? "xcb;wayland" : "wayland;xcb";
    }
    return nullptr;
}

// Qt ends a start-up without a usable display in a fatal message and a core dump; until the window is
// up, its other messages are dropped and a fatal one ends the program with one line and status 1.
void StartUpMessages(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s.\n", dravik::kNoDisplayMessage);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "%s (neither DISPLAY nor WAYLAND_DISPLAY is set).\n", dravik::kNoDisplayMessage);
        return 1;
    }
    if (const char* platforms = ChosenPlatforms()) {
        qputenv("QT_QPA_PLATFORM", platforms);
    }
    // Past a file-size limit, write() must fail with "File too large" and be reported, rather than the
    // signal ending the program with the user's text in it.
    std::signal(SIGXFSZ, SIG_IGN);
    const QtMessageHandler usual = qInstallMessageHandler(&StartUpMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(usual);
    dravik::qt::InstallAccessibility();
    dravik::qt::frmDravik window;
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
