// The text operations the conversion is built from. A Text is a run of UTF-16 code units; lengths and
// positions count code units (a character beyond U+FFFF counts two) and positions are 1-based, like the
// columns of a route listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-16 halves of a character beyond U+FFFF; one without its partner is a lone surrogate.
constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
// The character a surrogate pair stands for: CombineSurrogates(0xD834, 0xDD1E) == U'\U0001D11E'.
constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
}

// Calls visit(character, lone) for each character of `text` in order: a surrogate pair as the one
// character beyond U+FFFF it stands for, a surrogate without its partner as itself with `lone` set.
template <typename Visit>
void ForEachCharacter(TextView text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            visit(CombineSurrogates(unit, text[i + 1]), false);
            ++i;
        } else {
            visit(static_cast<char32_t>(unit), IsHighSurrogate(unit) || IsLowSurrogate(unit));
        }
    }
}

// Appends one character as one UTF-16 unit, or as a surrogate pair beyond U+FFFF.
void AppendCodePoint(Text& out, char32_t codePoint);

// Whole-text wildcard match: "?" is any one unit, "#" one ASCII digit, "*" any run (line breaks too),
// anything else itself. MatchesPattern(u"N55", u"?##") is true. Time is O(text x pattern) at worst.
bool MatchesPattern(TextView text, TextView pattern);

// Cuts at every CR LF; a lone CR or LF is an ordinary character. The pieces view `text`, so it must
// outlive them. SplitLines(u"a\r\n") gives {u"a", u""}; SplitLines(u"") gives {}.
std::vector<TextView> SplitLines(TextView text);

// The first n units, or all of a shorter text. LeftText(u"EAXA  ", 5) == u"EAXA ".
Text LeftText(TextView text, std::size_t n);

// Up to n units from 1-based `start`; empty when start lies beyond the end. MidText(u"abcd", 2, 2) == u"bc".
Text MidText(TextView text, std::size_t start, std::size_t n);

// The last n units, or all of a shorter text. RightText(u"abcd", 1) == u"d".
Text RightText(TextView text, std::size_t n);

// Drops leading and trailing spaces (U+0020 only; tabs stay). TrimSpaces(u" \tA ") == u"\tA".
Text TrimSpaces(TextView text);

// The double nearest to the decimal the text spells, whatever the user's locale: ParseNumber(u"00.30")
// is the double nearest 0.3. A text that is not digits with at most one "." among them gives NaN.
double ParseNumber(TextView text);

// Decimal digits, a minus sign only when negative. FormatWhole(5) == u"5".
Text FormatWhole(std::int64_t value);

// Two digits for 0 to 99. FormatTwoDigits(5) == u"05".
Text FormatTwoDigits(std::int64_t value);

// The nearest whole number, ties to the even one: 0.5 -> 0, 1.5 -> 2, 20.5 -> 20.
double RoundHalfEven(double value);

enum class LetterCase { Lower, Upper };

// How a letter beyond ASCII changes case, by the system's full Unicode tables (platform.h's
// MapLetterCase); ASCII letters map A-Z <-> a-z and never reach it.
using CaseMapping = char32_t (*)(char32_t codePoint, LetterCase to);

// Lower-cases everything, then upper-cases the first character of every word; words start after NUL,
// TAB, LF, VT, FF, CR or space only. ProperCase(u"SOUTH-EAST FIELD", map) == u"South-east Field".
Text ProperCase(TextView text, CaseMapping map);

}  // namespace dravik
