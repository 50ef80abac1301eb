#include "text/line_breaks.h"

#include <algorithm>

namespace dravik {

namespace {

// CR, LF, U+2028 and U+2029; the last two differ only in their lowest bit.
constexpr bool IsLineBreak(char16_t unit) {
    return unit == u'\r' || unit == u'\n' || (unit | 1) == u'\u2029';
}

// The first line break at or after `from`, or the text's size.
std::size_t FindLineBreak(TextView text, std::size_t from) {
    std::size_t at = from;
    while (at < text.size() && !IsLineBreak(text[at])) {
        ++at;
    }
    return at;
}

}  // namespace

Text WithCrLfBreaks(TextView boxText) {
    Text out;
    // Room for a break of one unit (Qt holds U+2029) becoming two, in lines of 16 units or more.
    out.reserve(boxText.size() + boxText.size() / 16);
    std::size_t start = 0;
    while (start < boxText.size()) {
        const std::size_t lineBreak = FindLineBreak(boxText, start);
        out.append(boxText, start, lineBreak - start);
        if (lineBreak == boxText.size()) {
            break;
        }
        out += u"\r\n";
        const bool pair =
            boxText[lineBreak] == u'\r' && lineBreak + 1 < boxText.size() && boxText[lineBreak + 1] == u'\n';
        start = lineBreak + (pair ? 2 : 1);
    }
    return out;
}

std::size_t LongestLine(TextView text) {
    std::size_t longest = 0;
    for (std::size_t start = 0;;) {
        const std::size_t lineBreak = FindLineBreak(text, start);
        longest = std::max(longest, lineBreak - start);
        if (lineBreak == text.size()) {
            return longest;
        }
        start = lineBreak + 1;  // the LF of a CR LF starts an empty line, which changes nothing
    }
}

}  // namespace dravik
