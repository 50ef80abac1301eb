#include "conversion/coordinates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace dravik {
namespace {

Text Field(TextView latMinutes, TextView latSeconds, TextView lonMinutes, TextView lonSeconds) {
    return u"N55\u00B0" + Text(latMinutes) + u"'" + Text(latSeconds) + u"\" E012\u00B0" + Text(lonMinutes) +
           u"'" + Text(lonSeconds);
}

TEST(ConvertCoordsTest, Table) {
    struct Row {
        const char* name;
        Text field;
        const char16_t* position;
    };
    const Row rows[] = {
        {"first example", u"N47\u00B026'11.00\" E019\u00B015'41.00", u"N47* 26.18', E019* 15.68'"},
        {"minutes lose a zero", u"N55\u00B005'03.00\" E012\u00B039'22.00", u"N55* 5.05', E012* 39.37'"},
        {"no sign, zeros kept", u"S05\u00B000'00.00\" W000\u00B000'00.00", u"S05* 0.00', W000* 0.00'"},
        {"ties to even", Field(u"50", u"00.30", u"10", u"01.50"), u"N55* 50.00', E012* 10.02'"},
        {"ties to even, up", Field(u"58", u"00.90", u"40", u"12.30"), u"N55* 58.02', E012* 40.20'"},
        {"100 hundredths carry", Field(u"00", u"59.69", u"00", u"59.70"), u"N55* 0.99', E012* 1.00'"},
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
// every SS.ss a listing can hold; a change of formula or of rounding would show here.
TEST(ConvertCoordsTest, AgreesWithIntegerArithmeticForEverySecondsValue) {
    for (std::int64_t s = 0; s <= 9999; ++s) {
        const std::int64_t twice = 2 * s;  // round s / 60 half to even in integers
        std::int64_t hundredths = twice / 120;
        const std::int64_t remainder = twice % 120;
        if (remainder > 60 || (remainder == 60 && hundredths % 2 == 1)) {
            ++hundredths;
        }
        const std::int64_t minutes = 20 + hundredths / 100;
        const std::u16string digits = {
            static_cast<char16_t>(u'0' + s / 1000), static_cast<char16_t>(u'0' + s / 100 % 10), u'.',
            static_cast<char16_t>(u'0' + s / 10 % 10), static_cast<char16_t>(u'0' + s % 10)};
        const Text expected = u"N55* " + FormatWhole(minutes) + u"." + FormatTwoDigits(hundredths % 100) +
                              u"', E012* " + FormatWhole(minutes) + u"." + FormatTwoDigits(hundredths % 100) +
                              u"'";
        const Text got = ConvertCoords(Field(u"20", digits, u"20", digits));
        if (got != expected) {
            ADD_FAILURE() << "seconds value " << s;
            break;
        }
    }
}

}  // namespace
}  // namespace dravik
