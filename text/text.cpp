#include "text/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace dravik {

bool MatchesPattern(TextView text, TextView pattern) {
    // Greedy scan that remembers only the last "*": on a mismatch the star takes one more unit and the
    // rest of the pattern is tried again from there. An earlier star never needs revisiting, because
    // the later one can already absorb anything it could, so the work stays O(text x pattern).
    constexpr std::size_t kNone = TextView::npos;
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starAt = kNone;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starText = t;
            if (p == pattern.size()) {
                return true;  // a trailing star takes the rest, however long
            }
            continue;
        }
        if (p < pattern.size()) {
            const char16_t want = pattern[p];
            const char16_t have = text[t];
            const bool ok = want == u'?' || (want == u'#' ? (have >= u'0' && have <= u'9') : want == have);
            if (ok) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starAt == kNone) {
            return false;  // no star to lean on: the first failing column decides
        }
        p = starAt + 1;
        t = ++starText;
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

std::vector<TextView> SplitLines(TextView text) {
    if (text.empty()) {
        return {};
    }
    std::vector<TextView> pieces;
    std::size_t start = 0;
    std::size_t cr = text.find(u'\r');
    while (cr != TextView::npos) {
        if (cr + 1 < text.size() && text[cr + 1] == u'\n') {
            pieces.push_back(text.substr(start, cr - start));
            start = cr + 2;
            cr = text.find(u'\r', start);
        } else {
            cr = text.find(u'\r', cr + 1);
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

Text LeftText(TextView text, std::size_t n) {
    return Text(text.substr(0, n));
}

Text MidText(TextView text, std::size_t start, std::size_t n) {
    if (start == 0 || start > text.size()) {
        return {};
    }
    return Text(text.substr(start - 1, n));
}

Text RightText(TextView text, std::size_t n) {
    return Text(text.substr(text.size() - std::min(n, text.size())));
}

Text TrimSpaces(TextView text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == TextView::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(u' ');
    return Text(text.substr(first, last - first + 1));
}

double ParseNumber(TextView text) {
    constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
    // Digits and points only: from_chars would also read an exponent, "inf" or "nan".
    std::string ascii;
    ascii.reserve(text.size());
    for (const char16_t unit : text) {
        if ((unit < u'0' || unit > u'9') && unit != u'.') {
            return kNotANumber;
        }
        ascii.push_back(static_cast<char>(unit));
    }
    // from_chars always reads "." as the decimal point and rounds correctly, unlike strtod; what it
    // cannot read whole ("", ".", "1.2.3") is no number.
    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc{} || end != ascii.data() + ascii.size()) {
        return kNotANumber;
    }
    return value;
}

Text FormatWhole(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    Text text(digits, result.ptr);  // widens the ASCII digits
    return text;
}

Text FormatTwoDigits(std::int64_t value) {
    const auto tens = static_cast<char16_t>(u'0' + value / 10);
    const auto ones = static_cast<char16_t>(u'0' + value % 10);
    return {tens, ones};
}

double RoundHalfEven(double value) {
    // Not std::nearbyint: that follows the floating-point environment's rounding mode, which any
    // library in the process may have changed.
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for any double of this size
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1.0;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

void AppendCodePoint(Text& out, char32_t codePoint) {
    if (codePoint > 0xFFFF) {
        const char32_t offset = codePoint - 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

namespace {

bool StartsWord(char32_t previous) {
    switch (previous) {
        case 0:
        case u'\t':
        case u'\n':
        case 11:  // VT
        case 12:  // FF
        case u'\r':
        case u' ':
            return true;
        default:
            return false;
    }
}

}  // namespace

Text ProperCase(TextView text, CaseMapping mapping) {
    // ASCII letters map A-Z <-> a-z and nothing else, whatever the system's tables say.
    const auto map = [mapping](char32_t codePoint, LetterCase to) -> char32_t {
        if (codePoint >= 0x80) {
            return mapping(codePoint, to);
        }
        if (to == LetterCase::Lower && codePoint >= U'A' && codePoint <= U'Z') {
            return codePoint + (U'a' - U'A');
        }
        if (to == LetterCase::Upper && codePoint >= U'a' && codePoint <= U'z') {
            return codePoint - (U'a' - U'A');
        }
        return codePoint;
    };
    Text out;
    out.reserve(text.size());
    bool wordStart = true;
    ForEachCharacter(text, [&](char32_t character, bool lone) {
        if (lone) {
            out.push_back(static_cast<char16_t>(character));  // a lone surrogate is no letter: kept as it is
            wordStart = false;
            return;
        }
        // Lower first, then raise: upper(lower(c)) is not always upper(c), as the Kelvin sign shows.
        char32_t mapped = map(character, LetterCase::Lower);
        if (wordStart) {
            mapped = map(mapped, LetterCase::Upper);
        }
        wordStart = StartsWord(character);
        AppendCodePoint(out, mapped);
    });
    return out;
}

}  // namespace dravik
