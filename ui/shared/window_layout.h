// Where the controls of Dravik's window stand, whatever toolkit draws them: the places in twips, as both
// windows lay them out at their own resolution, and the listing's font.
#pragma once

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

// The listing font, 9.75 points: in hundredths so that integer-only APIs can use it exactly.
inline constexpr TextView kListingFontFace = u"Courier New";
inline constexpr int kListingFontCentipoints = 975;

// Twips to device pixels at `dotsPerInch`, rounded to nearest: 10335 twips are 689 pixels at 96 DPI.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace dravik
