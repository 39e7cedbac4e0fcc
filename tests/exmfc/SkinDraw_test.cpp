#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "exmfc/SkinDraw.h"
#include "framework/GdiObject.h"
#include "support/gui/PixelCapture.h"

namespace {

using guitest::Dib32;
using guitest::MakeBitmap;

const COLORREF kMagenta = RGB(255, 0, 255);

std::vector<RECT> RegionRects(HRGN rgn) {
  DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<unsigned char> buf(size);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  GetRegionData(rgn, size, data);
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(r, r + data->rdh.nCount);
}

TEST(BitmapToRegionTest, KeyBorderIsCutAndNearKeyStays) {
  // 10x8, a one-pixel magenta border; one pixel inside is one step off.
  fw::OwnedBitmap bmp(MakeBitmap(10, 8, [](int x, int y) {
    if (x == 0 || y == 0 || x == 9 || y == 7) return kMagenta;
    if (x == 4 && y == 3) return RGB(254, 0, 255);
    return RGB(40, 40, 40);
  }));
  fw::OwnedRegion rgn(exmfc::BitmapToRegion(bmp, kMagenta, 0));
  ASSERT_TRUE(rgn);
  for (int x = 0; x < 10; ++x) {
    EXPECT_FALSE(PtInRegion(rgn, x, 0)) << x;
    EXPECT_FALSE(PtInRegion(rgn, x, 7)) << x;
  }
  EXPECT_FALSE(PtInRegion(rgn, 0, 4));
  EXPECT_FALSE(PtInRegion(rgn, 9, 4));
  EXPECT_TRUE(PtInRegion(rgn, 1, 1));
  EXPECT_TRUE(PtInRegion(rgn, 8, 6));
  EXPECT_TRUE(PtInRegion(rgn, 4, 3)) << "a colour one step off the key stays visible";
  RECT box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.top, 1);
  EXPECT_EQ(box.right, 9);
  EXPECT_EQ(box.bottom, 7);
}

TEST(BitmapToRegionTest, ToleranceWidensTheKeyPerChannel) {
  fw::OwnedBitmap bmp(MakeBitmap(4, 1, [](int x, int) {
    const COLORREF c[] = {RGB(250, 0, 250), RGB(255, 0, 255), RGB(250, 6, 250), RGB(249, 0, 250)};
    return c[x];
  }));
  fw::OwnedRegion rgn(exmfc::BitmapToRegion(bmp, RGB(250, 0, 250), RGB(10, 5, 10)));
  ASSERT_TRUE(rgn);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 1, 0)) << "capped at 255, inside the range";
  EXPECT_TRUE(PtInRegion(rgn, 2, 0)) << "green 6 is past 0 + 5";
  EXPECT_TRUE(PtInRegion(rgn, 3, 0)) << "red below the key";
}

TEST(BitmapToRegionTest, AlternatingKeyPixelsGiveOneRectanglePerRun) {
  // Row pattern: K V K V V K V V V K (K key, V visible) -> runs of 1, 2, 3.
  const char* row = "KVKVVKVVVK";
  fw::OwnedBitmap bmp(MakeBitmap(10, 1, [&](int x, int) {
    return row[x] == 'K' ? kMagenta : RGB(0, 128, 0);
  }));
  fw::OwnedRegion rgn(exmfc::BitmapToRegion(bmp, kMagenta, 0));
  ASSERT_TRUE(rgn);
  std::vector<RECT> rects = RegionRects(rgn);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0].left, 1);
  EXPECT_EQ(rects[0].right, 2);
  EXPECT_EQ(rects[1].left, 3);
  EXPECT_EQ(rects[1].right, 5);
  EXPECT_EQ(rects[2].left, 6);
  EXPECT_EQ(rects[2].right, 9);
}

TEST(BitmapToRegionTest, MoreThanOneBatchOfRunsAllEndUpInTheRegion) {
  // 60 x 50 checkerboard: 30 runs per row, 1500 runs, so the rectangles
  // cross the 1000-rectangle batch boundary. Shifting every other row keeps
  // GDI from merging rows into taller rectangles.
  const int w = 60, h = 50;
  fw::OwnedBitmap bmp(
      MakeBitmap(w, h, [](int x, int y) { return ((x + y) % 2) ? kMagenta : RGB(1, 2, 3); }));
  fw::OwnedRegion rgn(exmfc::BitmapToRegion(bmp, kMagenta, 0));
  ASSERT_TRUE(rgn);
  EXPECT_EQ(RegionRects(rgn).size(), 1500u);
  int inside = 0, wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool in = PtInRegion(rgn, x, y) != FALSE;
      inside += in;
      wrong += in != ((x + y) % 2 == 0);
    }
  EXPECT_EQ(inside, w * h / 2);
  EXPECT_EQ(wrong, 0);
}

TEST(BitmapToRegionTest, AllKeyGivesEmptyRegionAndBadBitmapFails) {
  fw::OwnedBitmap bmp(MakeBitmap(5, 5, [](int, int) { return kMagenta; }));
  fw::OwnedRegion rgn(exmfc::BitmapToRegion(bmp, kMagenta, 0));
  ASSERT_TRUE(rgn);
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
  EXPECT_EQ(exmfc::BitmapToRegion(nullptr, kMagenta, 0), nullptr);
  HBITMAP deleted = MakeBitmap(2, 2, [](int, int) { return RGB(0, 0, 0); });
  DeleteObject(deleted);
  EXPECT_EQ(exmfc::BitmapToRegion(deleted, kMagenta, 0), nullptr);
}

// A 12x12 skin: columns 0-2 left, 3-5 centre source, 6-8 ornament that is
// never drawn, 9-11 right; rows likewise. Each (column band, row band) has
// its own colour.
COLORREF SkinColour(int x, int y) {
  int bx = x / 3, by = y / 3;
  return RGB(20 + bx * 50, 20 + by * 50, (bx == 2 || by == 2) ? 250 : 0);
}

TEST(DrawNineSliceTest, PiecesLandWhereExpected) {
  fw::OwnedBitmap skin(MakeBitmap(12, 12, SkinColour));
  exmfc::SliceSizes s;
  s.left = 3;
  s.centre = 3;
  s.right = 3;
  s.top = 3;
  s.middle = 3;
  s.bottom = 3;
  Dib32 out(40, 30);
  ASSERT_TRUE(out.Ok());
  out.Fill(RGB(7, 7, 7));
  RECT target = {5, 4, 35, 26};  // 30 x 22
  ASSERT_TRUE(exmfc::DrawNineSlice(out.Dc(), skin, s, target));
  EXPECT_EQ(GetStretchBltMode(out.Dc()), HALFTONE);

  // Band of a target pixel: 0 left/top, 1 stretched centre, 3 right/bottom.
  auto band = [](int v, int lo, int hi) { return v < lo + 3 ? 0 : v >= hi - 3 ? 3 : 1; };
  int mismatches = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      COLORREF got = out.At(x, y);
      COLORREF want;
      if (x < target.left || x >= target.right || y < target.top || y >= target.bottom)
        want = RGB(7, 7, 7);
      else
        want = SkinColour(band(x, target.left, target.right) * 3,
                          band(y, target.top, target.bottom) * 3);
      if (got != want) ++mismatches;
    }
  EXPECT_EQ(mismatches, 0);
  // The ornament band (blue 250) must not appear anywhere.
  for (int y = target.top; y < target.bottom; ++y)
    for (int x = target.left; x < target.right; ++x)
      ASSERT_NE(GetBValue(out.At(x, y)), 250) << x << "," << y;
}

TEST(DrawNineSliceTest, DefaultSlicesAreThirds) {
  exmfc::SliceSizes s = exmfc::ResolveSlices(exmfc::SliceSizes{}, 10, 8);
  EXPECT_EQ(s.left, 3);
  EXPECT_EQ(s.centre, 3);
  EXPECT_EQ(s.right, 4);  // 10 - 2 * 10 / 3
  EXPECT_EQ(s.top, 2);
  EXPECT_EQ(s.middle, 2);
  EXPECT_EQ(s.bottom, 3);  // 8 - 2 * 8 / 3
  exmfc::SliceSizes given;
  given.right = 1;
  EXPECT_EQ(exmfc::ResolveSlices(given, 10, 8).right, 1);
}

TEST(DrawNineSliceTest, TargetSmallerThanCornersOverlaps) {
  // Corners of 3 on a 4-pixel target overlap, and the edges get negative
  // extents that StretchBlt draws mirrored; every pixel still comes from the
  // skin and the first column from the top-left corner.
  fw::OwnedBitmap skin(MakeBitmap(9, 9, [](int x, int) {
    return x < 3 ? RGB(255, 0, 0) : x >= 6 ? RGB(0, 0, 255) : RGB(0, 255, 0);
  }));
  Dib32 out(4, 4);
  out.Fill(0);
  ASSERT_TRUE(exmfc::DrawNineSlice(out.Dc(), skin, exmfc::SliceSizes{}, RECT{0, 0, 4, 4}));
  EXPECT_EQ(out.At(0, 0), RGB(255, 0, 0));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      COLORREF c = out.At(x, y);
      EXPECT_TRUE(c == RGB(255, 0, 0) || c == RGB(0, 255, 0) || c == RGB(0, 0, 255)) << x << "," << y;
    }
}

TEST(DrawNineSliceTest, MissingBitmapDrawsNothing) {
  Dib32 out(4, 4);
  out.Fill(RGB(9, 9, 9));
  EXPECT_FALSE(exmfc::DrawNineSlice(out.Dc(), nullptr, exmfc::SliceSizes{}, RECT{0, 0, 4, 4}));
  EXPECT_EQ(out.At(2, 2), RGB(9, 9, 9));
}

TEST(ScaleRegionTest, EdgesScaleLikeControlEdgesAndHolesStay) {
  // A 10x8 shape with a 2x2 hole, as a skin region with a cut-out.
  fw::OwnedRegion shape(CreateRectRgn(0, 0, 10, 8));
  fw::OwnedRegion hole(CreateRectRgn(4, 2, 6, 4));
  CombineRgn(shape, shape, hole, RGN_DIFF);

  fw::OwnedRegion same(exmfc::ScaleRegion(shape, 96));
  ASSERT_TRUE(same);
  EXPECT_TRUE(EqualRgn(same, shape));

  fw::OwnedRegion grown(exmfc::ScaleRegion(shape, 144));
  ASSERT_TRUE(grown);
  RECT box;
  GetRgnBox(grown, &box);
  EXPECT_EQ(0, box.left);
  EXPECT_EQ(15, box.right);
  EXPECT_EQ(12, box.bottom);
  // The hole: 4..6 x 2..4 becomes 6..9 x 3..6.
  for (int y = 3; y < 6; ++y)
    for (int x = 6; x < 9; ++x) EXPECT_FALSE(PtInRegion(grown, x, y)) << x << "," << y;
  EXPECT_TRUE(PtInRegion(grown, 5, 4));
  EXPECT_TRUE(PtInRegion(grown, 9, 4));
  EXPECT_TRUE(PtInRegion(grown, 7, 6));
  EXPECT_TRUE(PtInRegion(grown, 14, 11));
  EXPECT_FALSE(PtInRegion(grown, 15, 11));

  EXPECT_EQ(nullptr, exmfc::ScaleRegion(nullptr, 144));
}

TEST(StretchedCopyTest, CopyHasTheNewSizeAndTheSourceStretched) {
  fw::OwnedBitmap source(
      MakeBitmap(8, 2, [](int x, int) { return x < 4 ? RGB(255, 0, 0) : RGB(0, 0, 255); }));
  fw::OwnedBitmap copy(exmfc::StretchedCopy(source, 24, 6));
  ASSERT_TRUE(copy);
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(copy, sizeof info, &info));
  EXPECT_EQ(24, info.bmWidth);
  EXPECT_EQ(6, info.bmHeight);
  Dib32 out(24, 6);
  ASSERT_TRUE(guitest::CopyBitmap(copy, out));
  // Halftone blends near the seam; away from it each half keeps its colour
  // over three times its width.
  for (int y = 0; y < 6; ++y) {
    EXPECT_EQ(RGB(255, 0, 0), out.At(0, y)) << y;
    EXPECT_EQ(RGB(255, 0, 0), out.At(8, y)) << y;
    EXPECT_EQ(RGB(0, 0, 255), out.At(15, y)) << y;
    EXPECT_EQ(RGB(0, 0, 255), out.At(23, y)) << y;
  }
  EXPECT_EQ(nullptr, exmfc::StretchedCopy(nullptr, 24, 6));
  EXPECT_EQ(nullptr, exmfc::StretchedCopy(source, 0, 6));
}

TEST(StretchedCopyTest, SplitMovesTheColumnLine) {
  // 10 columns: red, a one-pixel black line at 4, blue; the line moves to 12
  // of 20, each side stretched on its own.
  fw::OwnedBitmap source(MakeBitmap(10, 2, [](int x, int) {
    return x < 4 ? RGB(255, 0, 0) : x == 4 ? RGB(0, 0, 0) : RGB(0, 0, 255);
  }));
  fw::OwnedBitmap copy(exmfc::StretchedCopySplit(source, 4, 20, 2, 12));
  ASSERT_TRUE(copy);
  Dib32 out(20, 2);
  ASSERT_TRUE(guitest::CopyBitmap(copy, out));
  EXPECT_EQ(RGB(255, 0, 0), out.At(0, 0));
  EXPECT_EQ(RGB(255, 0, 0), out.At(9, 0));
  EXPECT_EQ(RGB(0, 0, 0), out.At(12, 0));
  EXPECT_EQ(RGB(0, 0, 255), out.At(16, 0));
  EXPECT_EQ(RGB(0, 0, 255), out.At(19, 0));
  // Splits outside the widths, or one side empty and the other not.
  EXPECT_EQ(nullptr, exmfc::StretchedCopySplit(source, 0, 20, 2, 12));
  EXPECT_EQ(nullptr, exmfc::StretchedCopySplit(source, 11, 20, 2, 12));
  EXPECT_EQ(nullptr, exmfc::StretchedCopySplit(source, 4, 20, 2, 21));
  EXPECT_EQ(nullptr, exmfc::StretchedCopySplit(source, 10, 20, 2, 12));
}

}  // namespace
