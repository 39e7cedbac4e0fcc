#include <windows.h>

#include <gtest/gtest.h>

#include "exmfc/DpiScale.h"
#include "framework/GdiObject.h"

namespace {

using exmfc::ScaleTo;

TEST(DpiScaleTest, LengthsGrowByDpiOver96RoundedToNearest) {
  EXPECT_EQ(668, ScaleTo(668, 96));
  EXPECT_EQ(835, ScaleTo(668, 120));
  EXPECT_EQ(1002, ScaleTo(668, 144));
  // Halves round away from zero, as MulDiv does: 7 * 1.5 = 10.5, 2 * 1.25 = 2.5.
  EXPECT_EQ(11, ScaleTo(7, 144));
  EXPECT_EQ(3, ScaleTo(2, 120));
  EXPECT_EQ(-11, ScaleTo(-7, 144));
  EXPECT_EQ(0, ScaleTo(0, 144));
}

TEST(DpiScaleTest, RectanglesThatTouchStillTouchAfterScaling) {
  // Two buttons side by side and a list above them, as panels lay them out.
  const RECT left = {176, 284, 276, 308};
  const RECT right = {276, 284, 381, 308};
  const RECT above = {2, 67, 381, 284};
  for (int dpi : {96, 120, 144, 168}) {
    const RECT l = ScaleTo(left, dpi), r = ScaleTo(right, dpi), a = ScaleTo(above, dpi);
    EXPECT_EQ(l.right, r.left) << dpi;
    EXPECT_EQ(a.bottom, l.top) << dpi;
    EXPECT_EQ(ScaleTo(381, dpi), r.right) << dpi;
  }
  const RECT same = ScaleTo(left, 96);
  EXPECT_TRUE(EqualRect(&same, &left));
}

TEST(DpiScaleTest, ScreenScaleFollowsTheScreenDpi) {
  fw::ClientDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ASSERT_GT(dpi, 0);
  EXPECT_EQ(dpi, exmfc::ScreenDpi());
  EXPECT_EQ(MulDiv(437, dpi, 96), exmfc::Scale(437));
  const RECT r = exmfc::Scale(RECT{10, 20, 30, 40});
  EXPECT_EQ(MulDiv(30, dpi, 96), r.right);
  EXPECT_EQ(MulDiv(20, dpi, 96), r.top);
}

}  // namespace
