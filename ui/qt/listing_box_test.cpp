// The text box on Qt's offscreen platform: what a user pastes, edits and copies comes back exactly,
// however the box holds a long line.
#include "ui/qt/listing_box.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QMimeData>
#include <QProxyStyle>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>

#include "testing/child_process.h"

namespace dravik::qt {
namespace {

using testkit::HoldsInLimitedChild;
using testkit::Limit;

// Pieces of at most 100 characters, so a few hundred make a "long" line.
constexpr int kLongestParagraph = 100;

QString Digits(int length) {
    QString line;
    for (int i = 0; i < length; ++i) {
        line += QChar(u'0' + i % 10);
    }
    return line;
}

class ListingBoxTest : public ::testing::Test {
public:  // the edits of a table reach these too
    void SetUp() override {
        box_.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));  // as the window has them
        box_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box_.resize(673, 137);
        box_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box_));
        box_.setFocus();
    }

    void Paste(const QString& text) {
        QMimeData source;
        source.setText(text);
        box_.insertFromMimeData(&source);
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&box_, key, modifiers);
    }

    void MoveTo(int position) {
        QTextCursor cursor = box_.textCursor();
        cursor.setPosition(position);
        box_.setTextCursor(cursor);
    }

    ListingBox box_{nullptr, kLongestParagraph};
};

// A long line is held in pieces that never part a surrogate pair: an odd number of digits puts a cut
// inside one wherever the pieces end. Pasted over a selection, it replaces it, and the caret after it
// is in view.
TEST_F(ListingBoxTest, LongLineIsHeldInPiecesAndReadBackWhole) {
    QString line = Digits(1001);
    for (int i = 0; i < 300; ++i) {
        line += QStringLiteral("\U0001D11E");
    }
    box_.setPlainText(QStringLiteral("the listing before"));
    box_.selectAll();
    Paste(QStringLiteral("short\r\n") + line + QStringLiteral("\nafter"));
    for (QTextBlock block = box_.document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        ASSERT_FALSE(text.isEmpty());
        EXPECT_LE(text.size(), kLongestParagraph);
        EXPECT_FALSE(text.front().isLowSurrogate());
        EXPECT_FALSE(text.back().isHighSurrogate());
    }
    EXPECT_EQ(box_.Listing(),
              (QStringLiteral("short\r\n") + line + QStringLiteral("\r\nafter")).toStdU16String());
    EXPECT_TRUE(box_.viewport()->rect().contains(box_.cursorRect()));
}

// The pieces are whole visual lines, so the long line wraps as one paragraph of it would, anywhere
// rather than between its words (its columns, not prose).
TEST_F(ListingBoxTest, PiecesWrapLikeOneParagraph) {
    // Words of 40 digits: wrapped between words, a visual line would lose up to 40 units.
    const QString line = (Digits(40) + QLatin1Char(' ')).repeated(25);
    Paste(line);
    QPlainTextEdit whole;
    whole.setWordWrapMode(QTextOption::WrapAnywhere);
    ListingBox unbroken;  // pieces long enough to hold the line whole
    for (QPlainTextEdit* edit :
         {static_cast<QPlainTextEdit*>(&whole), static_cast<QPlainTextEdit*>(&unbroken)}) {
        edit->setFont(box_.font());
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->resize(box_.size());
        edit->setPlainText(line);
        edit->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(edit));
    }
    const auto visualLines = [](const QPlainTextEdit& edit) {
        int lines = 0;
        for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
            edit.document()->documentLayout()->blockBoundingRect(block);  // lays the block out
            lines += block.layout()->lineCount();
        }
        return lines;
    };
    EXPECT_EQ(visualLines(box_), visualLines(whole));
    EXPECT_EQ(visualLines(unbroken), visualLines(whole));
}

TEST_F(ListingBoxTest, EditingAcrossPiecesKeepsTheLine) {
    const QString line = Digits(1000);
    struct Case {
        const char* what;
        std::function<void(ListingBoxTest&, int)> edit;  // given where the second piece starts
        QString expected;
    };
    const int second = [&] {
        Paste(line);
        const int start = box_.document()->begin().next().position();
        box_.clear();
        return start;
    }();
    const Case cases[] = {
        {"Enter inside a piece", [](ListingBoxTest& t, int at) { t.MoveTo(at + 3), t.Key(Qt::Key_Return); },
         line.left(second - 1 + 3) + QStringLiteral("\n") + line.mid(second - 1 + 3)},
        {"Enter at the start of a piece",
         [](ListingBoxTest& t, int at) { t.MoveTo(at), t.Key(Qt::Key_Return); },
         line.left(second - 1) + QStringLiteral("\n") + line.mid(second - 1)},
        {"Backspace at the start of a piece",
         [](ListingBoxTest& t, int at) { t.MoveTo(at), t.Key(Qt::Key_Backspace); },
         line.left(second - 2) + line.mid(second - 1)},
        {"Delete at the end of a piece",
         [](ListingBoxTest& t, int at) { t.MoveTo(at - 1), t.Key(Qt::Key_Delete); },
         line.left(second - 1) + line.mid(second)},
        {"typing at the start of a piece", [](ListingBoxTest& t, int at) { t.MoveTo(at), t.Key(Qt::Key_A); },
         line.left(second - 1) + QStringLiteral("a") + line.mid(second - 1)},
        {"pasting lines into a piece",
         [](ListingBoxTest& t, int at) { t.MoveTo(at + 1), t.Paste(QStringLiteral("x\ny")); },
         line.left(second) + QStringLiteral("x\ny") + line.mid(second)},
    };
    for (const Case& c : cases) {
        box_.clear();
        Paste(line);
        ASSERT_EQ(box_.document()->begin().next().position(), second);
        c.edit(*this, second);
        QString expected = c.expected;
        EXPECT_EQ(box_.Listing(),
                  expected.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdU16String())
            << c.what;
    }
}

TEST_F(ListingBoxTest, CopyUndoAndRedoGiveTheLineBackWhole) {
    const QString line = Digits(1000) + QStringLiteral("\U0001D11E\U0001D11E") + Digits(500);
    Paste(line);
    box_.selectAll();
    box_.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), line);

    Key(Qt::Key_Delete);
    EXPECT_TRUE(box_.Listing().empty());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box_.Listing(), line.toStdU16String());
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(box_.Listing().empty());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box_.Listing(), line.toStdU16String());

    // Copying from the middle of one piece to the middle of another.
    QTextCursor cursor = box_.textCursor();
    cursor.setPosition(50);
    cursor.setPosition(450, QTextCursor::KeepAnchor);
    box_.setTextCursor(cursor);
    box_.copy();
    const int breaks = box_.document()->findBlock(450).blockNumber();  // between the pieces
    EXPECT_EQ(QApplication::clipboard()->text(), line.mid(50, 400 - breaks));
    // From the very end of the first piece, its break the first thing selected.
    const int end = box_.document()->begin().length() - 1;
    cursor.setPosition(end);
    cursor.setPosition(end + 10, QTextCursor::KeepAnchor);
    box_.setTextCursor(cursor);
    box_.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), line.mid(end, 9));

    // Every character as the box holds it: no-break spaces stay, each line break is one "\n".
    box_.selectAll();
    Paste(QStringLiteral("EAXA\u00A0\u00A0x\r\nB"));
    box_.selectAll();
    box_.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("EAXA\u00A0\u00A0x\nB"));
}

// The listing's first column stays where the window put it when another style draws another frame, and
// what the user typed can still be undone.
TEST_F(ListingBoxTest, FirstColumnStaysWhereAnotherStyleMovesTheFrame) {
    class Frame : public QProxyStyle {
    public:
        explicit Frame(int width) : width_(width) {}
        int pixelMetric(PixelMetric metric, const QStyleOption* option,
                        const QWidget* widget) const override {
            return metric == PM_DefaultFrameWidth ? width_ : QProxyStyle::pixelMetric(metric, option, widget);
        }

    private:
        int width_;
    };
    box_.setFirstColumnAt(6);
    Key(Qt::Key_A);
    const int frame = box_.frameWidth();
    // A frame wider than the column leaves no margin: the text cannot start inside the frame.
    for (const auto& [width, margin] : {std::pair{0, 6}, std::pair{8, 0}}) {
        Frame style(width);
        box_.setStyle(&style);
        EXPECT_EQ(box_.frameWidth(), width) << "the style gave no other frame";
        EXPECT_EQ(box_.document()->documentMargin(), margin) << "frame " << width;
        box_.setStyle(nullptr);  // before the style goes
    }
    EXPECT_EQ(box_.frameWidth() + box_.document()->documentMargin(), 6) << "frame " << frame;
    EXPECT_TRUE(box_.document()->isUndoAvailable());
}

// A paste the memory left can take is taken (one it cannot is refused: the window's test): the box asks
// for no more than a paste needs, about 14 bytes a character while Qt's document grows, where 70 MB of
// a 100 MB cap hold 5 million characters.
TEST_F(ListingBoxTest, PasteTheMemoryCanTakeIsTaken) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit here would allow";
#endif
    QMimeData fits;
    fits.setText(QString(5'000'000, QLatin1Char('x')));
    QSignalSpy refused(&box_, &ListingBox::pasteRefused);
    EXPECT_TRUE(HoldsInLimitedChild(Limit::AddressSpace, 100u << 20, [&] {
        box_.insertFromMimeData(&fits);
        return refused.count() == 0 && box_.Listing().size() == 5'000'000;
    })) << "the paste was refused, or not taken whole";
}

}  // namespace
}  // namespace dravik::qt
