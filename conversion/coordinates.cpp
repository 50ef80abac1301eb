#include "conversion/coordinates.h"

#include <cmath>
#include <cstdint>

namespace dravik {

namespace {

// Point lines always hold digits here; anything else reads as 0 rather than as an undefined cast.
double NumberOrZero(TextView digits) {
    const double value = ParseNumber(digits);
    return std::isfinite(value) ? value : 0.0;
}

// One half of a position: `head` is the hemisphere letter with the degree digits, copied as listed.
Text ConvertPart(TextView head, TextView minutes, TextView seconds) {
    // seconds x 10 / 6 is seconds / 60 x 100 in that order of double steps; for SS.ss it agrees with
    // rounding the whole hundredths of a second / 60 exactly.
    const double hundredths = RoundHalfEven(NumberOrZero(seconds) * 10.0 / 6.0);
    const auto carried = static_cast<std::int64_t>(hundredths);
    const auto wholeMinutes = static_cast<std::int64_t>(NumberOrZero(minutes)) + carried / 100;
    Text part(head);
    part += u"* ";
    part += FormatWhole(wholeMinutes);
    part += u'.';
    part += FormatTwoDigits(carried % 100);
    part += u'\'';
    return part;
}

}  // namespace

Text ConvertCoords(TextView field) {
    Text position = ConvertPart(LeftText(field, 3), MidText(field, 5, 2), MidText(field, 8, 5));
    position += u", ";
    position += ConvertPart(MidText(field, 15, 4), MidText(field, 20, 2), MidText(field, 23, 5));
    return position;
}

}  // namespace dravik
