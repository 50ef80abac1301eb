#include "platform/simulator_code_page.h"

#include <algorithm>
#include <array>

namespace dravik {

namespace {

// The characters of bytes 0x80 to 0x9F; every other byte is the Latin-1 character of its number.
constexpr auto kBlock80 = std::to_array<char16_t>({
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
});

char Byte(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    const auto* found = std::ranges::find(kBlock80, unit);
    return found == kBlock80.end() ? '?' : static_cast<char>(0x80 + (found - kBlock80.begin()));
}

}  // namespace

std::string EncodeWindows1252(TextView text) {
    std::string out;
    out.reserve(text.size());
    ForEachCharacter(text, [&out](char32_t character, bool lone) {
        // A character beyond U+FFFF is one "?", and so is a lone surrogate.
        out += lone || character > 0xFFFF ? '?' : Byte(static_cast<char16_t>(character));
    });
    return out;
}

}  // namespace dravik
