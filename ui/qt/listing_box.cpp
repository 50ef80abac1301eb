#include "ui/qt/listing_box.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <new>

#include "text/line_breaks.h"

namespace dravik::qt {

namespace {

// Marks a paragraph that continues the line before it rather than starting a new one.
constexpr int kContinuesLine = QTextFormat::UserProperty;

bool ContinuesLine(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kContinuesLine);
}

QTextBlockFormat Continuation() {
    QTextBlockFormat format;
    format.setProperty(kContinuesLine, true);
    return format;
}

bool IsParagraphBreak(QChar unit) {
    // What QTextCursor::insertText turns into a new paragraph (CR LF counts once).
    return unit == u'\n' || unit == u'\r' || unit == QChar::ParagraphSeparator;
}

// How many lines a pasted text has, and how long the longest is.
struct Lines {
    qsizetype count = 1;
    int longest = 0;
};

Lines LinesOf(const QString& text) {
    Lines lines;
    int length = 0;
    for (const QChar unit : text) {
        if (IsParagraphBreak(unit)) {
            ++lines.count;
            length = 0;
        } else {
            lines.longest = std::max(lines.longest, ++length);
        }
    }
    return lines;
}

}  // namespace

ListingBox::ListingBox(QWidget* parent, int longestParagraph)
    : QPlainTextEdit(parent), longestParagraph_(longestParagraph) {
    // Wrapping at word boundaries takes time that grows with the square of a line's length once a
    // "word" is wider than the box: a pasted megabyte without spaces froze the window for 20 s. A
    // listing has fixed columns, not prose, so breaking anywhere costs nothing and stays linear.
    setWordWrapMode(QTextOption::WrapAnywhere);
}

void ListingBox::setFirstColumnAt(int pixels) {
    firstColumn_ = pixels;
    // The document's margin is what stands between the frame and the text. Qt records it, the root
    // frame's format, as an edit: one made before the user did anything must leave nothing to undo.
    const qreal margin = std::max(0, pixels - frameWidth());
    if (document()->documentMargin() == margin) {
        return;
    }
    const bool untouched = !document()->isUndoAvailable() && !document()->isRedoAvailable();
    document()->setDocumentMargin(margin);
    if (untouched) {
        document()->clearUndoRedoStacks();
    }
}

void ListingBox::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (firstColumn_) {
        setFirstColumnAt(*firstColumn_);  // another style has another frame; other changes keep the margin
    }
}

Text ListingBox::Listing() const {
    const QString joined = WithoutPieceBreaks(document()->toRawText(), 0);
    return WithCrLfBreaks(
        TextView(reinterpret_cast<const char16_t*>(joined.utf16()), static_cast<std::size_t>(joined.size())));
}

QString ListingBox::WithoutPieceBreaks(const QString& text, int start) const {
    QString joined;
    int from = 0;
    const int end = start + static_cast<int>(text.size());
    for (QTextBlock block = document()->findBlock(start).next(); block.isValid() && block.position() <= end;
         block = block.next()) {
        const int separator = block.position() - 1 - start;
        if (separator >= 0 && ContinuesLine(block)) {
            joined += QStringView(text).mid(from, separator - from);
            from = separator + 1;
        }
    }
    if (from == 0) {
        return text;  // the usual case: no long line, nothing to join
    }
    joined += QStringView(text).mid(from);
    return joined;
}

// Qt 6.4 pastes whatever the clipboard returns without checking it, and an X11 clipboard whose owner
// has gone returns nothing: Ctrl+V, middle-click or the context menu's Paste would crash the program.
bool ListingBox::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && source->hasText();
}

void ListingBox::insertFromMimeData(const QMimeData* source) {
    if (!canInsertFromMimeData(source)) {
        return;
    }
    try {
        const QString text = source->text();
        const Lines lines = LinesOf(text);
        if (!HasRoomFor(text.size(), lines.count)) {
            emit pasteRefused();
            return;
        }
        if (lines.longest > PieceLength()) {
            InsertInPieces(text);  // which leaves the caret in view, as setting a cursor does
        } else {
            QPlainTextEdit::insertFromMimeData(source);  // Qt's own paste, one Undo step of its own
        }
    } catch (const std::bad_alloc&) {
        emit pasteRefused();  // nothing may unwind into Qt's event handling
    }
}

// Qt's text document does not survive running out of memory while it grows: it crashes. So a paste
// first makes sure that the memory it needs is there: the document's text buffer, old and new, while
// it grows; the pasted text in a few copies on its way in; and for every pasted line, a paragraph and
// its undo record (a few hundred bytes, measured). Where the system promises memory it may not have
// (Linux overcommits) this catches only a limit on the address space, but that is where a process
// really runs out.
bool ListingBox::HasRoomFor(qsizetype pastedUnits, qsizetype pastedLines) const {
    constexpr qsizetype kUnit = sizeof(char16_t);
    constexpr qsizetype kPerLine = 512;
    const qsizetype bytes = 4 * kUnit * (document()->characterCount() + pastedUnits) +
                            3 * kUnit * pastedUnits + kPerLine * pastedLines;
    try {
        // Held through a volatile, or the compiler could leave out an allocation nobody uses.
        void* volatile room = ::operator new(static_cast<std::size_t>(bytes));
        ::operator delete(room);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

QMimeData* ListingBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* copied = new QMimeData;
    // The selected text as it is, one character for each position of the document: not the plain text
    // of the selection, which turns no-break spaces into spaces. Each line break becomes "\n".
    QString text = WithoutPieceBreaks(cursor.selectedText(), cursor.selectionStart());
    text.replace(QChar::ParagraphSeparator, u'\n');
    copied->setText(text);
    return copied;
}

void ListingBox::keyPressEvent(QKeyEvent* event) {
    // Shift+F10 opens the context menu, as the Menu key does: laptops without one still reach Undo and
    // Paste from the keyboard.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint at = cursorRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport(), &menu);
        return;
    }
    QTextCursor cursor = textCursor();
    // Enter starts a real new line, never a continuation: Qt would copy the paragraph's mark.
    if (event->matches(QKeySequence::InsertParagraphSeparator)) {
        cursor.insertBlock(QTextBlockFormat(), cursor.charFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    // Backspace at the start of a piece and Delete at the end of the one before it remove the character
    // the user sees there, not the invisible break between the pieces.
    if (!cursor.hasSelection() && event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier &&
        cursor.atBlockStart() && ContinuesLine(cursor.block()) && cursor.block().previous().length() > 1) {
        QTextCursor previous(document());
        previous.setPosition(cursor.block().position() - 1);
        previous.deletePreviousChar();
        ensureCursorVisible();
        return;
    }
    if (!cursor.hasSelection() && event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier &&
        cursor.atBlockEnd() && ContinuesLine(cursor.block().next()) && cursor.block().next().length() > 1) {
        QTextCursor next(cursor.block().next());
        next.deleteChar();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// Pieces a whole number of the box's visual lines long, so that where one piece ends and the next begins
// looks like any other wrap of a fixed-pitch line. Qt's own layout says how many characters a line holds.
int ListingBox::PieceLength() const {
    QTextLayout probe(QString(longestParagraph_, QLatin1Char('x')), document()->defaultFont());
    QTextOption option = document()->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAnywhere);
    probe.setTextOption(option);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLineWidth(viewport()->width() - 2 * document()->documentMargin());
    probe.endLayout();
    const int perLine = line.textLength();
    return perLine > 0 ? longestParagraph_ / perLine * perLine : longestParagraph_;
}

void ListingBox::InsertInPieces(const QString& text) {
    const int piece = PieceLength();
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();  // one step for Undo; the first insertion replaces the selection
    int lineStart = 0;
    const int size = static_cast<int>(text.size());
    while (lineStart <= size) {
        int lineEnd = lineStart;
        while (lineEnd < size && !IsParagraphBreak(text[lineEnd])) {
            ++lineEnd;
        }
        for (int at = lineStart; at < lineEnd;) {
            int length = std::min(piece, lineEnd - at);
            if (at + length < lineEnd && QChar::isHighSurrogate(text[at + length - 1].unicode())) {
                --length;  // never part a surrogate pair
            }
            if (at != lineStart) {
                cursor.insertBlock(Continuation(), cursor.charFormat());
            }
            cursor.insertText(text.mid(at, length));
            at += length;
        }
        if (lineEnd == size) {
            break;
        }
        cursor.insertBlock(QTextBlockFormat(), cursor.charFormat());
        lineStart =
            lineEnd + (text[lineEnd] == u'\r' && lineEnd + 1 < size && text[lineEnd + 1] == u'\n' ? 2 : 1);
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

}  // namespace dravik::qt
