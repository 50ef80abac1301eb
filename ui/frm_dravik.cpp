#include "ui/frm_dravik.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/listing_box.h"
#include "ui/main_window_layout.h"

namespace dravik {

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

// Courier New, or a face that is metrically the same (Liberation Mono answers to that name); where
// neither exists, the system's fixed-pitch font, so the label's columns still stand over the listing.
QFont ListingFont() {
    QFont font(ToQString(kListingFontFace));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(kListingFontCentipoints / 100.0);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(kListingFontCentipoints / 100.0);
    }
    return font;
}

}  // namespace

frmDravik::frmDravik(std::optional<std::filesystem::path> outputDirectory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      outputDirectory_(std::move(outputDirectory)),
      Label1(new QLabel(ToQString(kColumnHeader), this)),
      txtR(new ListingBox(this)),
      cmdR(new QPushButton(ToQString(kButtonCaption), this)) {
    setObjectName(QStringLiteral("frmDravik"));
    setWindowTitle(ToQString(kProgramName));
    setWindowIcon(QIcon(QStringLiteral(":/dravik.ico")));  // the same file dravik.exe carries
    const QRect client = ToPixels(kClientArea);
    setFixedSize(client.size());

    const QFont listingFont = ListingFont();

    txtR->setObjectName(QStringLiteral("txtR"));
    txtR->setAccessibleName(ToQString(kTextBoxAccessibleName));
    txtR->setGeometry(ToPixels(kTextBoxPlace));
    txtR->setFont(listingFont);
    txtR->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtR->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtR->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtR->setTabChangesFocus(true);  // Tab moves on to the button; pasted tabs stay in the text

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(ToPixels(kLabelPlace));
    Label1->setFont(listingFont);
    Label1->setTextFormat(Qt::PlainText);

    cmdR->setObjectName(QStringLiteral("cmdR"));
    cmdR->setAccessibleName(ToQString(kButtonCaption));
    cmdR->setGeometry(ToPixels(kButtonPlace));
    // Outside a dialog, autoDefault only makes Enter press the button while it has the focus, as a
    // focused push button does on Windows; Enter in the text box still starts a new line.
    cmdR->setAutoDefault(true);
    connect(cmdR, &QPushButton::clicked, this, &frmDravik::cmdR_Click);
    connect(txtR, &ListingBox::pasteRefused, this,
            [this] { ShowMessage(Text(kOutOfMemoryMessage), MessageIcon::Stop, Text(kProgramName)); });

    setTabOrder(txtR, cmdR);
    txtR->setFocus();
}

Text frmDravik::ReadText() {
    return txtR->Listing();
}

void frmDravik::SetText(const Text& text) {
    // One edit rather than setPlainText, which would forget the undo history: after "Done!", Ctrl+Z
    // brings the listing back.
    QTextCursor cursor(txtR->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(ToQString(text));
}

void frmDravik::ShowMessage(const Text& text, MessageIcon icon, const Text& title) {
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Critical,
                    ToQString(title), ToQString(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);  // a path or listing text must never be read as markup
    box.exec();
}

void frmDravik::cmdR_Click() {
    if (outputDirectory_) {
        dravik::cmdR_Click(*this, *outputDirectory_);
    } else {
        dravik::cmdR_Click(*this);
    }
}

}  // namespace dravik
