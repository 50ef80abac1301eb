// What every realisation of Dravik's main window shares, whatever toolkit draws it: the texts and the
// places of the controls in twips. How the box's line breaks reach the command is text/line_breaks.h.
#pragma once

#include "text/line_breaks.h"
#include "text/text.h"

namespace dravik {

// A rectangle in twips (1/1440 inch) from the top-left corner of the window's client area.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kTwipsPerInch = 1440;

inline constexpr TwipsRect kClientArea = {0, 0, 10335, 3000};
inline constexpr TwipsRect kTextBoxPlace = {120, 360, 10095, 2055};  // txtR
inline constexpr TwipsRect kLabelPlace = {150, 120, 9735, 255};      // Label1
inline constexpr TwipsRect kButtonPlace = {120, 2520, 10095, 375};   // cmdR

// The label stands over the columns of a pasted listing; its runs of spaces are part of it.
inline constexpr TextView kColumnHeader =
    u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks";
inline constexpr TextView kButtonCaption = u"Convert and Save";
inline constexpr TextView kTextBoxAccessibleName = u"Route listing";
// A screen reader's description of the box: the columns a listing has.
inline constexpr TextView kTextBoxAccessibleDescription =
    u"Paste a route listing with the columns: ID, FREQ, TRK, DIST, Coords, Name/Remarks.";
// When the window cannot be made at all; the system's reason follows on a line of its own.
inline constexpr TextView kWindowFailedMessage = u"Could not open the window!";

// The listing font, 9.75 points: in hundredths so that integer-only APIs can use it exactly.
inline constexpr TextView kListingFontFace = u"Courier New";
inline constexpr int kListingFontCentipoints = 975;

// Twips to device pixels at `dotsPerInch`, rounded to nearest: 10335 twips are 689 pixels at 96 DPI.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace dravik
