// Dravik's one window. The data flow, all inside one click on cmdR:
//
//   txtR (pasted listing) --ReadText: every line break as CR LF--> cmdR_Click (conversion layer)
//       --> DepId-DestId.PLN beside the program
//       --> ShowMessage: "Done!" (then SetText empties txtR) or a stop message (txtR kept)
//
// The window does no work of its own: it hands the text over and shows what comes back. It stays the
// size of its layout: where a compositor maximises it (Wayland offers it), it asks to be normal again.
#pragma once

#include <QFont>
#include <QWidget>

#include <filesystem>
#include <optional>

#include "conversion/convert_command.h"

class QLabel;
class QPushButton;

namespace dravik::qt {

class ListingBox;

class frmDravik : public QWidget, public ConvertHost {
    Q_OBJECT

public:
    // Plans go beside the program unless `outputDirectory` names another folder (tests do).
    explicit frmDravik(std::optional<std::filesystem::path> outputDirectory = std::nullopt,
                       QWidget* parent = nullptr);

    // The window watches the application's keys while it lives (see eventFilter), and no longer.
    ~frmDravik() override;
    frmDravik(const frmDravik&) = delete;
    frmDravik& operator=(const frmDravik&) = delete;

    Text ReadText() override;
    void SetText(const Text& text) override;
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdR_Click();

    std::optional<std::filesystem::path> outputDirectory_;
    QLabel* Label1;
    ListingBox* txtR;
    QPushButton* cmdR;
    int openMessages_ = 0;
    int keyHeldOnButton_ = 0;  // Enter or Space, pressed on cmdR and not yet pressed again elsewhere
    struct Release {
        int key = 0;
        quint64 time = 0;
    } lastRelease_;  // of Enter or Space, to tell a repeat Qt took for a press
};

// The font of the listing and of the header over it: `face` if it has a fixed pitch, else the system's
// fixed-pitch font, at the listing's size.
QFont ListingFont(const QString& face);

// How a screen reader sees the window; once per process, after the QApplication is made
// (main does, and so does the tests' main).
void InstallAccessibility();

}  // namespace dravik::qt
