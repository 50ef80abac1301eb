#include "ui/main_window_layout.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(MainWindowLayoutTest, EveryLineBreakBecomesCrLf) {
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
    for (const auto& [box, handedOver] : cases) {
        EXPECT_EQ(WithCrLfBreaks(box), handedOver) << "case " << (&box - &cases[0].first) / 2;
    }
}

TEST(MainWindowLayoutTest, GeometryAtCommonResolutions) {
    EXPECT_EQ(TwipsToPixels(kClientArea.width, 96), 689);
    EXPECT_EQ(TwipsToPixels(kClientArea.height, 96), 200);
    EXPECT_EQ(TwipsToPixels(kTextBoxPlace.width, 96), 673);
    EXPECT_EQ(TwipsToPixels(kButtonPlace.top, 144), 252);
    EXPECT_EQ(kColumnHeader.size(), 69u);
}

}  // namespace
}  // namespace dravik
