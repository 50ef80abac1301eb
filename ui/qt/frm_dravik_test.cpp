// The window as a user meets it, on Qt's offscreen platform: no display needed.
#include "ui/qt/frm_dravik.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "testing/child_process.h"
#include "testing/test_support.h"
#include "ui/qt/listing_box.h"

namespace dravik::qt {
namespace {

using namespace testkit;

QString ToQString(const Text& text) {
    return QString::fromStdU16String(text);
}

// Answers every modal message box with OK and remembers what the last one said. Armed before the click
// that opens the box; gives up after five seconds, closing whatever is modal then, so no test can hang.
// `before`, if given, runs first on each box; one it leaves open is answered on a later tick.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::function<void(QMessageBox*)> before = {}) : before_(std::move(before)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            if (seen_ != box) {
                seen_ = box;
                ++boxes;
                text = box->text();
                format = box->textFormat();
                title = box->windowTitle();
                icon = box->icon();
                if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))) {
                    iconName = label->accessibleName();
                }
                if (before_) {
                    before_(box);
                    return;
                }
            }
            ++okClicks;
            box->button(QMessageBox::Ok)->click();
        });
        QTimer::singleShot(5000, &poll_, [] {  // cancelled with the answerer
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        poll_.start(10);
    }

    int boxes = 0;
    int okClicks = 0;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QString title;
    QString iconName;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

private:
    std::function<void(QMessageBox*)> before_;
    QPointer<QMessageBox> seen_;  // null again once the box is gone
    QTimer poll_;
};

// A key press as the keyboard repeats it while the key is held.
void SendRepeat(QWidget* to, Qt::Key key) {
    QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), /*autorep=*/true);
    QApplication::sendEvent(to, &repeat);
}

// Half of a repeat as X11 makes it while a key is held, a release and a press at one time, which a busy
// Qt takes for a real release and a real press.
void SendHalf(QWidget* to, QEvent::Type type, Qt::Key key, ulong time) {
    QKeyEvent half(type, key, Qt::NoModifier);
    half.setTimestamp(time);
    QApplication::sendEvent(to, &half);
}

// The window with the command's messages recorded instead of shown: ShowMessage is the command's seam.
// A test of the message box itself asks for real boxes and answers them (MessageBoxAnswerer).
class RecordingWindow : public frmDravik {
public:
    using frmDravik::frmDravik;
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override {
        messages.push_back({text, icon, title});
        if (realBoxes) {
            frmDravik::ShowMessage(text, icon, title);
        }
    }
    [[nodiscard]] Text Said() const { return messages.empty() ? Text() : messages.back().text; }

    bool realBoxes = false;
    std::vector<FakeHost::Message> messages;
};

class FrmDravikTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<RecordingWindow>(folder_.path());
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        txtR = window_->findChild<QPlainTextEdit*>(QStringLiteral("txtR"));
        cmdR = window_->findChild<QPushButton*>(QStringLiteral("cmdR"));
        Label1 = window_->findChild<QLabel*>(QStringLiteral("Label1"));
        ASSERT_TRUE(txtR && cmdR && Label1);
    }

    void Paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        txtR->setFocus();
        QTest::keyClick(txtR, Qt::Key_V, Qt::ControlModifier);
    }

    ScratchFolder folder_;
    std::unique_ptr<RecordingWindow> window_;
    QPlainTextEdit* txtR = nullptr;
    QPushButton* cmdR = nullptr;
    QLabel* Label1 = nullptr;
};

TEST_F(FrmDravikTest, ControlsTextsAndPlaces) {
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Dravik"));
    EXPECT_EQ(window_->size(), QSize(689, 200));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());  // not resizable
    const Qt::WindowFlags flags = window_->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    QList<QSize> iconSizes = window_->windowIcon().availableSizes();  // from ui/dravik.ico
    std::sort(iconSizes.begin(), iconSizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    EXPECT_EQ(iconSizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));

    EXPECT_EQ(txtR->geometry(), QRect(8, 24, 673, 137));
    EXPECT_EQ(txtR->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Label1->geometry(), QRect(10, 8, 649, 17));
    EXPECT_EQ(cmdR->geometry(), QRect(8, 168, 673, 25));

    EXPECT_EQ(Label1->text(),
              QStringLiteral("ID      FREQ   TRK   DIST   Coords                       Name/Remarks"));
    EXPECT_EQ(cmdR->text(), QStringLiteral("Convert and Save"));
    // A screen reader hears a frame, as for any program's window, not a filler.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window_.get())->role(), QAccessible::Window);

    for (const QWidget* widget : {static_cast<QWidget*>(txtR), static_cast<QWidget*>(Label1)}) {
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), 9.75);
        // Courier New, or Liberation Mono, its metric twin; another fixed-pitch face only where neither is.
        const QString family = QFontInfo(widget->font()).family();
        EXPECT_TRUE(family == QStringLiteral("Courier New") || family == QStringLiteral("Liberation Mono"))
            << family.toStdString();
    }
    EXPECT_EQ(cmdR->font(), window_->font());
    // Where no face answers to the name, the system's fixed-pitch one, so the columns still line up.
    const QFont fallback = ListingFont(QStringLiteral("No Such Face"));
    EXPECT_TRUE(QFontInfo(fallback).fixedPitch()) << QFontInfo(fallback).family().toStdString();
    EXPECT_DOUBLE_EQ(fallback.pointSizeF(), 9.75);
}

// The focus starts in the box, with nothing to undo, nor to redo after Ctrl+Z. Then the keys, pressed one
// after another from the box holding "listing": where the focus then is, what the box holds and what a
// conversion said, if one ran.
TEST_F(FrmDravikTest, KeysMoveConvertAndEdit) {
    EXPECT_EQ(QApplication::focusWidget(), txtR);
    EXPECT_FALSE(txtR->document()->isUndoAvailable());
    QTest::keyClick(txtR, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(txtR->document()->isRedoAvailable());

    struct Step {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QWidget* focus;
        TextView text;
        TextView said;
    };
    const TextView notEnough = u"Not enough or invalid points!";
    const Step steps[] = {
        {"Esc in the box", Qt::Key_Escape, Qt::NoModifier, txtR, u"listing", {}},
        {"Enter in the box", Qt::Key_Return, Qt::NoModifier, txtR, u"listing\r\n", {}},
        {"keypad Enter in the box", Qt::Key_Enter, Qt::NoModifier, txtR, u"listing\r\n\r\n", {}},
        {"Tab", Qt::Key_Tab, Qt::NoModifier, cmdR, u"listing\r\n\r\n", {}},
        {"Esc on the button", Qt::Key_Escape, Qt::NoModifier, cmdR, u"listing\r\n\r\n", {}},
        {"Space on the button", Qt::Key_Space, Qt::NoModifier, cmdR, u"listing\r\n\r\n", notEnough},
        {"Enter on the button", Qt::Key_Return, Qt::NoModifier, cmdR, u"listing\r\n\r\n", notEnough},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, txtR, u"listing\r\n\r\n", {}},
        {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, txtR, u"listing\r\n\r\n", {}},
        {"Ctrl+V replaces what Ctrl+A selected", Qt::Key_V, Qt::ControlModifier, txtR, u"pasted", {}},
    };
    QTest::keyClicks(txtR, QStringLiteral("listing"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    for (const Step& step : steps) {
        window_->messages.clear();
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        EXPECT_TRUE(window_->isVisible()) << step.name;
        EXPECT_EQ(QApplication::focusWidget(), step.focus) << step.name;
        EXPECT_EQ(window_->ReadText(), step.text) << step.name;
        EXPECT_EQ(window_->Said(), step.said) << step.name;
    }
}

TEST_F(FrmDravikTest, EveryLineBreakReachesTheCommandAsCrLf) {
    QTest::keyClicks(txtR, QStringLiteral("shift"));
    QTest::keyClick(txtR, Qt::Key_Return, Qt::ShiftModifier);
    Paste(QStringLiteral("crlf\r\nlf\ncr\rtab\tnbsp\u00A0end"));
    EXPECT_EQ(window_->ReadText(), u"shift\r\ncrlf\r\nlf\r\ncr\r\ntab\tnbsp\u00A0end");
}

// The message boxes themselves: plain text, the program's name, the icon and its name for a screen
// reader, and Esc answers one as OK does; a stop message leaves the text and every step of its undo
// history.
TEST_F(FrmDravikTest, MessageBoxesAsTheUserSeesThem) {
    window_->realBoxes = true;
    Paste(ToQString(PointLine(u"ONLY", u"ONE POINT")));
    QTest::keyClicks(txtR, QStringLiteral(" typed"));
    const QString before = txtR->toPlainText();
    const int steps = txtR->document()->availableUndoSteps();
    ASSERT_GE(steps, 2);
    {
        MessageBoxAnswerer answer([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QTest::mouseClick(cmdR, Qt::LeftButton);
        ASSERT_EQ(answer.boxes, 1);
        EXPECT_EQ(answer.okClicks, 0) << "Esc did not answer the message";
        EXPECT_EQ(answer.text, QStringLiteral("Not enough or invalid points!"));
        EXPECT_EQ(answer.format, Qt::PlainText);  // a path or an identifier is never read as markup
        EXPECT_EQ(answer.icon, QMessageBox::Critical);
        EXPECT_EQ(answer.iconName, QStringLiteral("Error"));
        EXPECT_EQ(txtR->toPlainText(), before);
        EXPECT_EQ(txtR->document()->availableUndoSteps(), steps);
    }
    txtR->selectAll();
    Paste(ToQString(kExampleListing));
    // Enter held in the box while the button is clicked: its repeats do not answer the message either.
    MessageBoxAnswerer answer(
        [](QMessageBox* box) { SendRepeat(box->button(QMessageBox::Ok), Qt::Key_Return); });
    QTest::mouseClick(cmdR, Qt::LeftButton);
    ASSERT_EQ(answer.boxes, 1);
    EXPECT_EQ(answer.okClicks, 1) << "a repeat answered the message";
    EXPECT_EQ(answer.text, QStringLiteral("Done!"));
    EXPECT_EQ(answer.title, QStringLiteral("Dravik"));
    EXPECT_EQ(answer.icon, QMessageBox::Information);
    EXPECT_EQ(answer.iconName, QStringLiteral("Information"));
    EXPECT_EQ(ReadBytes(folder_.path() / "EAXA-EAXB.PLN"), ExampleFileBytes());
}

// What a clipboard without an owner, an empty one, or a drag of a picture hands over is not text:
// it must change nothing, not even a selection it would have replaced, and must never crash.
TEST_F(FrmDravikTest, PastingWhatIsNotTextChangesNothing) {
    auto* box = qobject_cast<ListingBox*>(txtR);
    ASSERT_NE(box, nullptr);
    QMimeData empty;
    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    QMimeData html;
    html.setHtml(QStringLiteral("<b>EAXA</b>"));
    html.removeFormat(QStringLiteral("text/plain"));
    const QMimeData* const sources[] = {nullptr, &empty, &image, &html};
    for (const QMimeData* source : sources) {
        txtR->setPlainText(QStringLiteral("kept"));
        txtR->selectAll();
        EXPECT_FALSE(box->canInsertFromMimeData(source));
        box->insertFromMimeData(source);
        EXPECT_EQ(txtR->toPlainText(), QStringLiteral("kept"));
    }

    QApplication::clipboard()->clear();
    txtR->selectAll();
    QTest::keyClick(txtR, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(txtR, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(txtR->toPlainText(), QStringLiteral("kept"));
}

// Enter (or the keypad's) held on the button: one conversion, one message; the repeats answer nothing
// and press nothing, and after "Done!" they type nothing into the box, which has the focus again: one
// Ctrl+Z brings the whole listing back, byte for byte. Held in the box, the key repeats as anywhere.
TEST_F(FrmDravikTest, HeldEnterConvertsOnce) {
    window_->realBoxes = true;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        window_->activateWindow();  // as it is again for the user once the last message has gone
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        Paste(ToQString(kExampleListing));
        cmdR->setFocus();
        MessageBoxAnswerer answer([key](QMessageBox* box) {
            for (int i = 0; i < 3; ++i) {
                SendRepeat(box->button(QMessageBox::Ok), key);
            }
        });
        QTest::keyPress(cmdR, key);
        for (QWidget* to : {static_cast<QWidget*>(txtR), static_cast<QWidget*>(cmdR)}) {
            SendRepeat(to, key);
        }
        for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
            SendHalf(txtR, type, key, 4242);
        }
        QTest::keyRelease(txtR, key);
        EXPECT_EQ(answer.boxes, 1) << key;
        EXPECT_EQ(answer.text, QStringLiteral("Done!")) << key;
        EXPECT_EQ(window_->focusWidget(), txtR) << key;
        EXPECT_TRUE(txtR->toPlainText().isEmpty()) << key;
        QTest::keyClick(txtR, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window_->ReadText(), kExampleListing) << key;
        txtR->clear();
    }
    QTest::keyPress(txtR, Qt::Key_Return);
    SendRepeat(txtR, Qt::Key_Return);
    QTest::keyRelease(txtR, Qt::Key_Return);
    EXPECT_EQ(window_->ReadText(), u"\r\n\r\n");
}

// Space held on the button as X11 repeats it: the first repeat's release clicks the button; its press,
// and the repeats after it, reach the message's OK button, which none of them may press.
TEST_F(FrmDravikTest, HeldSpaceConvertsOnce) {
    window_->realBoxes = true;
    Paste(ToQString(kExampleListing));
    cmdR->setFocus();
    MessageBoxAnswerer answer([](QMessageBox* box) {
        SendHalf(box->button(QMessageBox::Ok), QEvent::KeyPress, Qt::Key_Space, 1);
        SendHalf(box->button(QMessageBox::Ok), QEvent::KeyRelease, Qt::Key_Space, 2);
        SendHalf(box->button(QMessageBox::Ok), QEvent::KeyPress, Qt::Key_Space, 2);
    });
    QTest::keyPress(cmdR, Qt::Key_Space);
    SendHalf(cmdR, QEvent::KeyRelease, Qt::Key_Space, 1);
    EXPECT_EQ(answer.boxes, 1);
}

// A maximise request (on Wayland the title bar offers one) leaves the window as it was: its size, its
// text, and the program running. Run on Wayland too, by the Wayland end-to-end test.
TEST_F(FrmDravikTest, MaximisingLeavesTheWindowAsItWas) {
    Paste(ToQString(kExampleListing));
    window_->showMaximized();
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return !window_->isMaximized() && window_->size() == QSize(689, 200); }, 3000))
        << window_->width() << "x" << window_->height();
    QTest::qWait(300);  // and it stays so
    EXPECT_FALSE(window_->isMaximized());
    EXPECT_EQ(window_->size(), QSize(689, 200));
    EXPECT_EQ(window_->minimumSize(), QSize(689, 200));  // nor can it be made smaller
    EXPECT_EQ(window_->ReadText(), kExampleListing);

    // And so does its message.
    window_->realBoxes = true;
    bool stayedMaximised = true;
    MessageBoxAnswerer answer([&stayedMaximised](QMessageBox* box) {
        box->showMaximized();
        QTest::qWait(500);
        stayedMaximised = box->isMaximized();
    });
    QTest::mouseClick(cmdR, Qt::LeftButton);
    EXPECT_EQ(answer.text, QStringLiteral("Done!"));
    EXPECT_FALSE(stayedMaximised);
}

// Shift+F10 opens the box's context menu, with Undo and Paste, as the Menu key does.
TEST_F(FrmDravikTest, ShiftF10OpensTheContextMenu) {
    QStringList actions;
    QTimer::singleShot(100, [&actions] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* action : menu->actions()) {
                actions << action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
            }
            menu->close();
        }
    });
    txtR->setFocus();
    QTest::keyClick(txtR, Qt::Key_F10, Qt::ShiftModifier);
    QTest::qWait(200);
    EXPECT_TRUE(actions.contains(QStringLiteral("Undo"))) << actions.join(u',').toStdString();
    EXPECT_TRUE(actions.contains(QStringLiteral("Paste"))) << actions.join(u',').toStdString();
}

// A paste the memory left cannot take is refused, the box kept as it was (Qt's document would crash
// part-way instead), and told once the paste has returned, never from inside it (a drop event). The
// child's address space is capped just above what it uses: 17 million characters need about 240 MB by
// the box's estimate, over the cap, where a smaller estimate would let Qt's document try.
TEST_F(FrmDravikTest, PasteTooLargeForTheMemoryIsRefusedAndToldAfterThePaste) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit here would allow";
#endif
    Paste(QStringLiteral("kept"));
    QMimeData huge;
    huge.setText(QString(17'000'000, QLatin1Char('x')).replace(40, 1, QLatin1Char('\n')));
    EXPECT_TRUE(HoldsInLimitedChild(Limit::AddressSpace, 200u << 20, [&] {
        qobject_cast<ListingBox*>(txtR)->insertFromMimeData(&huge);
        const bool notYet = window_->messages.empty();
        QTest::qWait(50);
        return notYet && window_->Said() == u"The listing is too large for the memory available." &&
               txtR->toPlainText() == QStringLiteral("kept");
    })) << "the paste was not refused, was told from inside it, or changed the box";
}

// Each column name stands over its column: the header pasted into the box starts within a pixel of
// the label's.
TEST_F(FrmDravikTest, HeaderStandsOverThePastedColumns) {
    Paste(Label1->text());
    cmdR->setFocus();  // no caret to be taken for text
    const QImage shot = window_->grab().toImage();
    const auto firstInk = [&shot](const QRect& within) {
        for (int x = within.left(); x <= within.right(); ++x) {
            for (int y = within.top(); y <= within.bottom(); ++y) {
                if (qGray(shot.pixel(x, y)) < 96) {
                    return x;
                }
            }
        }
        return -1;
    };
    const int label = firstInk(Label1->geometry());
    const int box = firstInk(txtR->geometry().adjusted(3, 3, -3, -3));  // inside the frame
    ASSERT_GT(label, 0);
    EXPECT_LE(std::abs(label - box), 1) << "label at " << label << ", listing at " << box;
}

// A line longer than any listing's, which the box holds in pieces, is heard by a screen reader through
// Qt's own text interface as several lines, with nothing lost. (Reading and editing a listing over the
// accessibility bus is the screen-reader test's, end to end.)
TEST_F(FrmDravikTest, ScreenReadersHearALongLineAsSeveral) {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(txtR);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->textInterface(), nullptr);
    const QString line(20000, QLatin1Char('x'));
    Paste(line);
    ASSERT_GT(txtR->document()->blockCount(), 2);  // held in pieces
    QString heard = box->textInterface()->text(0, box->textInterface()->characterCount());
    EXPECT_GT(heard.size(), line.size());
    heard.remove(QChar::ParagraphSeparator).remove(QLatin1Char('\n'));
    EXPECT_EQ(heard, line);
}

}  // namespace
}  // namespace dravik::qt
