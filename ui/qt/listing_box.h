// The main window's text box: a plain-text editor that takes from the clipboard or a drag only what is
// text, and stays quick however long a pasted line is.
//
// Qt lays out a paragraph in one piece whenever any of it is shown or edited, so one pasted line of
// 20 MB would take seconds for every keystroke. A pasted line longer than a few thousand characters is
// therefore held as several paragraphs; each one after the first carries a mark that it continues
// the line before it, so it is shown as the wrapped continuation of that line and everything that reads
// the box (Listing(), copy, drag, a screen reader) gets the line back unbroken.
#pragma once

#include <QPlainTextEdit>

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

    // The text as a reader of the whole box sees it (a screen reader, through its text interface):
    // lines whole, each line break one "\n". Positions in it and in the document convert both ways.
    [[nodiscard]] QString JoinedText() const;
    [[nodiscard]] int JoinedPosition(int documentPosition) const;
    [[nodiscard]] int DocumentPosition(int joinedPosition) const;

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
    int firstColumn_ = -1;
};

// How a screen reader sees every ListingBox: the text as the user reads it. Once per process, by
// InstallAccessibility (frm_dravik.h).
void InstallListingBoxAccessibility();

}  // namespace dravik::qt
