// The main of every test of the Qt window: a QApplication on Qt's offscreen platform, unless the
// environment names another, with what main registers for screen readers, then GoogleTest.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/qt/frm_dravik.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    dravik::qt::InstallAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
