#include "ui/main_window_layout.h"

namespace dravik {

Text WithCrLfBreaks(TextView boxText) {
    Text out;
    out.reserve(boxText.size() + boxText.size() / 32);
    for (std::size_t i = 0; i < boxText.size(); ++i) {
        const char16_t unit = boxText[i];
        if (unit == u'\r' || unit == u'\n' || unit == u'\u2028' || unit == u'\u2029') {
            if (unit == u'\r' && i + 1 < boxText.size() && boxText[i + 1] == u'\n') {
                ++i;
            }
            out += u"\r\n";
        } else {
            out += unit;
        }
    }
    return out;
}

}  // namespace dravik
