// The hand-over of a text box's line breaks, the rule against a plain reference.
#include "text/line_breaks.h"

#include <gtest/gtest.h>

#include <random>

namespace dravik {
namespace {

TEST(LineBreaksTest, EveryLineBreakBecomesCrLf) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"", u""},
        {u"a\r\nb", u"a\r\nb"},
        {u"a\nb", u"a\r\nb"},
        {u"a\rb", u"a\r\nb"},
        {u"a\u2029b\u2028c", u"a\r\nb\r\nc"},
        {u"a\n\rb", u"a\r\n\r\nb"},  // LF then CR are two breaks, not one pair
        {u"a\r\r\nb", u"a\r\n\r\nb"},
        {u"\u2029\u2029", u"\r\n\r\n"},
        {u"tab\there\u00A0nbsp", u"tab\there\u00A0nbsp"},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const auto& [box, handedOver] = cases[row];
        EXPECT_EQ(WithCrLfBreaks(box), handedOver) << "row " << row;
    }
}

// The rule one unit at a time, as plainly as it can be said, against the fast version on random text
// whose breaks fall anywhere in and across the blocks that version tests at once.
TEST(LineBreaksTest, BreaksAnywhereInLongText) {
    const auto reference = [](TextView box) {
        Text out;
        for (std::size_t i = 0; i < box.size(); ++i) {
            const char16_t unit = box[i];
            if (unit == u'\r' || unit == u'\n' || unit == u'\u2028' || unit == u'\u2029') {
                if (unit == u'\r' && i + 1 < box.size() && box[i + 1] == u'\n') {
                    ++i;
                }
                out += u"\r\n";
            } else {
                out += unit;
            }
        }
        return out;
    };
    const char16_t units[] = {u'a',      u'a',      u'a',      u'a',      u'\r',  u'\n',
                              u'\u2028', u'\u2029', u'\u2027', u'\u202A', u'\x0C'};
    std::mt19937 random(20261207);
    for (int round = 0; round < 2000; ++round) {
        Text box(random() % 100, u'a');
        for (char16_t& unit : box) {
            unit = units[random() % std::size(units)];
        }
        ASSERT_EQ(WithCrLfBreaks(box), reference(box)) << "round " << round;
    }
}

TEST(LineBreaksTest, LongestLine) {
    const std::pair<const char16_t*, std::size_t> cases[] = {
        {u"", 0}, {u"abc", 3}, {u"ab\r\nc", 2}, {u"a\r\n\r\nbcd", 3}, {u"ab\u2029cde\n", 3}, {u"\r\r", 0},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const auto& [text, longest] = cases[row];
        EXPECT_EQ(LongestLine(text), longest) << "row " << row;
    }
}

}  // namespace
}  // namespace dravik
