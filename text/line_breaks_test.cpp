// The hand-over of a text box's line breaks.
#include "text/line_breaks.h"

#include <gtest/gtest.h>

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
