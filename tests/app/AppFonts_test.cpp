// The program's nine fonts: face, size at the screen's resolution, weight
// and slant of each name, made once.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/AppFonts.h"

namespace {

TEST(AppFontsTest, EachNameHasItsFaceSizeAndStyle) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  struct Expected {
    AppFont font;
    const char* face;
    int points;
    bool bold;
    bool italic;
  };
  const Expected fonts[] = {
      {AppFont::kTitle, "Tahoma", 13, true, true},    {AppFont::kButton, "Tahoma", 8, true, false},
      {AppFont::kLarge, "Arial", 14, false, false},   {AppFont::kLargeAlt, "Arial", 14, false, false},
      {AppFont::kPath, "Tahoma", 8, false, false},    {AppFont::kText, "Tahoma", 8, false, false},
      {AppFont::kLabel, "Tahoma", 8, true, false},    {AppFont::kList, "Tahoma", 8, true, false},
      {AppFont::kSymbol, "Wingdings", 16, false, false},
  };
  for (const Expected& e : fonts) {
    const int index = static_cast<int>(e.font);
    HFONT font = GetAppFont(e.font);
    ASSERT_NE(font, nullptr) << index;
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, e.face) << index;
    EXPECT_EQ(lf.lfHeight, -MulDiv(e.points, dpi, 72)) << index;
    EXPECT_EQ(lf.lfWeight, e.bold ? 700 : 400) << index;
    EXPECT_EQ(lf.lfItalic, e.italic ? 1 : 0) << index;
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET) << index;
    EXPECT_EQ(GetAppFont(e.font).Get(), font) << "made once";
  }
}

}  // namespace
