// The main window's text box: a plain-text editor that takes from the clipboard or a drag only what is
// text, and stays quick however long a pasted line is.
//
// Qt lays out a paragraph in one piece whenever any of it is shown or edited, so one pasted line of
// 20 MB would take seconds for every keystroke. A pasted line longer than a few thousand characters is
// therefore held as several paragraphs; each one after the first carries a mark that it continues
// the line before it, so it is shown as the wrapped continuation of that line, and Listing(), copy and
// drag give the line back unbroken. A screen reader, through Qt's own text interface, hears such a line
// as several: no listing has a line of that length.
#pragma once

#include <QPlainTextEdit>

#include <optional>

#include "text/text.h"

namespace dravik::qt {

class ListingBox : public QPlainTextEdit {
    Q_OBJECT

public:
    // `longestParagraph`: lines longer than this many characters are held in pieces of at most this many.
    explicit ListingBox(QWidget* parent = nullptr, int longestParagraph = 8192);

    // The whole text with every line break as CR LF, long lines whole. Not toPlainText(), which would
    // also turn no-break spaces into spaces.
    [[nodiscard]] Text Listing() const;

    // Where the first column's text starts, in pixels from the box's left edge (frame included).
    void setFirstColumnAt(int pixels);

    // Public so that tests can hand them what a clipboard whose owner has gone hands over: nothing.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;

signals:
    // A paste was refused because the memory it needs is not there; the box is as it was.
    void pasteRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    [[nodiscard]] bool HasRoomFor(qsizetype pastedUnits, qsizetype pastedLines) const;
    [[nodiscard]] int PieceLength() const;
    void InsertInPieces(const QString& text);
    // `text`, which stands for the document from position `start` on, without the breaks between the
    // pieces of a long line.
    [[nodiscard]] QString WithoutPieceBreaks(const QString& text, int start) const;

    int longestParagraph_;
    std::optional<int> firstColumn_;
};

}  // namespace dravik::qt
