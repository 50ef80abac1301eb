#include "ui/shared/main_window_layout.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(MainWindowLayoutTest, GeometryAtCommonResolutions) {
    EXPECT_EQ(TwipsToPixels(kClientArea.width, 96), 689);
    EXPECT_EQ(TwipsToPixels(kClientArea.height, 96), 200);
    EXPECT_EQ(TwipsToPixels(kTextBoxPlace.width, 96), 673);
    EXPECT_EQ(TwipsToPixels(kButtonPlace.top, 144), 252);
    EXPECT_EQ(kColumnHeader.size(), 69u);
}

}  // namespace
}  // namespace dravik
