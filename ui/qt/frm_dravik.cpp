#include "ui/qt/frm_dravik.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QString>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <exception>

#include "ui/qt/listing_box.h"
#include "ui/shared/window_layout.h"
#include "ui/shared/window_texts.h"

namespace dravik::qt {

namespace {

// Twips are 1/1440 inch and Qt's device-independent pixels 1/96, so a control lands on whole pixels
// at 96 DPI and Qt scales it on denser screens.
constexpr int kLogicalDpi = 96;

QRect ToPixels(const TwipsRect& place) {
    return {TwipsToPixels(place.left, kLogicalDpi), TwipsToPixels(place.top, kLogicalDpi),
            TwipsToPixels(place.width, kLogicalDpi), TwipsToPixels(place.height, kLogicalDpi)};
}

QString ToQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsPressKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Where a compositor maximises a window (Wayland's title bar offers it, whatever the window asks), the
// window takes that size for a moment, then asks to be normal again. On Wayland it must take it: the
// compositor ends a program whose maximised window keeps a size of its own.
class StaysNormal : public QObject {
public:
    explicit StaysNormal(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        const Qt::WindowStates large = Qt::WindowMaximized | Qt::WindowFullScreen;
        // A window that is normal already is left as it is: setting the state it has changes nothing.
        if (event->type() == QEvent::WindowStateChange) {
            QTimer::singleShot(0, window,
                               [window, large] { window->setWindowState(window->windowState() & ~large); });
        }
        return false;
    }
};

// QMessageBox fixes its size whenever it lays itself out; on Wayland this one stops once it is shown,
// so that it can take a maximised size (see StaysNormal).
class Message : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest && shown_ && OnWayland()) {
            // Past QMessageBox on purpose: without its fixing of the size.
            return QDialog::event(event);  // NOLINT(bugprone-parent-virtual-call)
        }
        return QMessageBox::event(event);
    }
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        shown_ = true;
        if (OnWayland()) {
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
    }

private:
    bool shown_ = false;
};

// A screen reader hears the main window as a frame, as it hears any program's window; Qt would call a
// plain widget a filler.
QAccessibleInterface* AccessibleWindow(const QString& className, QObject* object) {
    if (className == QLatin1String("dravik::qt::frmDravik") && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

// Courier New, or a face that is metrically the same (Liberation Mono answers to that name); where
// neither exists, the system's fixed-pitch font, so the label's columns still stand over the listing.
QFont ListingFont(const QString& face) {
    QFont font(face);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    font.setPointSizeF(kListingFontCentipoints / 100.0);
    return font;
}

frmDravik::frmDravik(std::optional<std::filesystem::path> outputDirectory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      outputDirectory_(std::move(outputDirectory)),
      Label1(new QLabel(ToQString(kColumnHeader), this)),
      txtR(new ListingBox(this)),
      cmdR(new QPushButton(ToQString(kButtonCaption), this)) {
    setWindowTitle(ToQString(kProgramName));
    setWindowIcon(QIcon(QStringLiteral(":/dravik.ico")));  // the same file dravik.exe carries
    const QRect client = ToPixels(kClientArea);
    if (OnWayland()) {
        setMinimumSize(client.size());  // never fixed there: see StaysNormal
        resize(client.size());
    } else {
        setFixedSize(client.size());
    }
    new StaysNormal(this);

    const QFont listingFont = ListingFont(ToQString(kListingFontFace));

    txtR->setObjectName(QStringLiteral("txtR"));
    txtR->setAccessibleName(ToQString(kTextBoxAccessibleName));
    txtR->setAccessibleDescription(ToQString(kTextBoxAccessibleDescription));
    txtR->setGeometry(ToPixels(kTextBoxPlace));
    txtR->setFont(listingFont);
    // The text starts where the label's does, so that each column name stands over its column: the
    // frame and the document's margin would push it right.
    txtR->setFirstColumnAt(ToPixels(kLabelPlace).left() - ToPixels(kTextBoxPlace).left());
    txtR->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtR->setTabChangesFocus(true);  // Tab moves on to the button; pasted tabs stay in the text

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(ToPixels(kLabelPlace));
    Label1->setFont(listingFont);

    cmdR->setObjectName(QStringLiteral("cmdR"));
    cmdR->setGeometry(ToPixels(kButtonPlace));
    // Outside a dialog, autoDefault only makes Enter press the button while it has the focus, as a
    // focused push button does on Windows; Enter in the text box still starts a new line.
    cmdR->setAutoDefault(true);
    connect(cmdR, &QPushButton::clicked, this, &frmDravik::cmdR_Click);
    // Queued: the box is shown once the paste (or the drop) has returned, not from inside it.
    connect(
        txtR, &ListingBox::pasteRefused, this,
        [this] {
            try {
                ShowMessage(Text(kOutOfMemoryMessage), MessageIcon::Stop, Text(kProgramName));
            } catch (const std::exception&) {
                QApplication::beep();
            }
        },
        Qt::QueuedConnection);
    qApp->installEventFilter(this);  // key repeats, wherever the focus is (see eventFilter)
    // The tab order and the first focus, the box's, are Qt's own: the order the controls are made in.
}

frmDravik::~frmDravik() {
    qApp->removeEventFilter(this);
}

void InstallAccessibility() {
    QAccessible::installFactory(&AccessibleWindow);
}

Text frmDravik::ReadText() {
    return txtR->Listing();
}

void frmDravik::SetText(const Text& text) {
    // One edit rather than setPlainText, which would forget the undo history: after "Done!", Ctrl+Z
    // brings the listing back. The focus goes to the box, ready for that or the next paste.
    QTextCursor cursor(txtR->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(ToQString(text));
    txtR->setFocus();
}

void frmDravik::ShowMessage(const Text& text, MessageIcon icon, const Text& title) {
    const bool information = icon == MessageIcon::Information;
    Message box(information ? QMessageBox::Information : QMessageBox::Critical, ToQString(title),
                ToQString(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);  // a path or listing text must never be read as markup
    // A screen reader names the icon, so that an error does not sound like a piece of information.
    if (auto* iconLabel = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))) {
        iconLabel->setAccessibleName(ToQString(information ? kInformationIconName : kErrorIconName));
    }
    new StaysNormal(&box);
    ++openMessages_;
    box.exec();
    --openMessages_;
}

void frmDravik::cmdR_Click() {
    // The command throws nothing: it reports its own failures, and the event loop never sees one.
    dravik::cmdR_Click(*this, outputDirectory_);
}

bool frmDravik::eventFilter(QObject* watched, QEvent* event) {
    // One press of Enter or Space on the button is one conversion: while the key is held, its repeats
    // press nothing, there, in the message that follows or in the box that has the focus after "Done!".
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;  // the event goes on
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (!IsPressKey(key->key())) {
        return false;
    }
    if (event->type() == QEvent::KeyRelease) {
        if (!key->isAutoRepeat()) {
            lastRelease_ = {key->key(), key->timestamp()};
        }
        return false;
    }
    // X11 repeats a held key as a release and a press at one time; on a busy machine Qt may not see the
    // press in time and calls both real. A real new press never comes at the very time of the release.
    const bool repeat = key->isAutoRepeat() || (key->timestamp() != 0 && key->key() == lastRelease_.key &&
                                                key->timestamp() == lastRelease_.time);
    if (!repeat) {
        if (watched == QApplication::focusWidget()) {
            keyHeldOnButton_ = watched == cmdR ? key->key() : 0;
        }
    } else if (key->key() == keyHeldOnButton_ || openMessages_ > 0) {
        return true;
    }
    return false;
}

}  // namespace dravik::qt
