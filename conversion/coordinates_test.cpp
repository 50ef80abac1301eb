#include "conversion/coordinates.h"

#include <gtest/gtest.h>

#include <string>

namespace dravik {
namespace {

Text Field(TextView latMinutes, TextView latSeconds, TextView lonMinutes, TextView lonSeconds) {
    return u"N55\u00B0" + Text(latMinutes) + u"'" + Text(latSeconds) + u"\" E012\u00B0" + Text(lonMinutes) +
           u"'" + Text(lonSeconds);
}

Text Widened(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

TEST(ConvertCoordsTest, Table) {
    struct Row {
        const char* name;
        Text field;
        const char16_t* position;
    };
    const Row rows[] = {
        {"first example", u"N47\u00B026'11.00\" E019\u00B015'41.00", u"N47* 26.18', E019* 15.68'"},
        {"no sign, zeros kept", u"S05\u00B000'00.00\" W000\u00B000'00.00", u"S05* 0.00', W000* 0.00'"},
        {"no carry to degrees", Field(u"45", u"59.70", u"59", u"59.99"), u"N55* 46.00', E012* 60.00'"},
        {"out of range, as listed", Field(u"99", u"99.99", u"75", u"60.00"), u"N55* 100.67', E012* 76.00'"},
        {"letters copied", u"x12\u00B034'56.78? y345\u00B067'89.01", u"x12* 34.95', y345* 68.48'"},
        {"no point line: zeros", Field(u"ab", u"cd.ef", u"5 ", u" 1.00"), u"N55* 0.00', E012* 0.00'"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ConvertCoords(row.field), row.position) << row.name;
    }
}

// The double steps (seconds x 10 / 6, then half-to-even) must agree with exact integer arithmetic on
// every SS.ss a listing can hold; a change of formula, of rounding or of the digits would show here.
TEST(ConvertCoordsTest, AgreesWithIntegerArithmeticForEverySecondsValue) {
    for (int s = 0; s <= 9999; ++s) {
        int hundredths = 2 * s / 120;  // s / 60, rounded half to even in integers
        const int remainder = 2 * s % 120;
        if (remainder > 60 || (remainder == 60 && hundredths % 2 == 1)) {
            ++hundredths;
        }
        const std::string digits = std::to_string(10000 + s);  // "1SSss"
        const Text seconds = Widened(digits.substr(1, 2) + "." + digits.substr(3));
        const std::string minutes =
            std::to_string(20 + hundredths / 100) + "." + std::to_string(100 + hundredths % 100).substr(1);
        const Text field = Field(u"20", seconds, u"20", seconds);
        if (ConvertCoords(field) != Widened("N55* " + minutes + "', E012* " + minutes + "'")) {
            ADD_FAILURE() << "seconds value " << s;
            break;
        }
    }
}

}  // namespace
}  // namespace dravik
