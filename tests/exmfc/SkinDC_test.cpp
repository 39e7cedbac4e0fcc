#include <windows.h>

#include <gtest/gtest.h>

#include "exmfc/SkinDC.h"
#include "framework/GdiObject.h"
#include "framework/Wnd.h"
#include "support/gui/MessagePump.h"
#include "support/gui/PixelCapture.h"

namespace {

TEST(BitmapDCTest, RestoresTheSelectionAndLeavesTheBitmapAlive) {
  fw::OwnedBitmap bmp(guitest::MakeBitmap(4, 4, [](int, int) { return RGB(9, 8, 7); }));
  HDC seen;
  {
    fw::BitmapDC dc(nullptr, bmp);
    seen = dc.Get();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bmp.Get());
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(9, 8, 7));
  }
  EXPECT_EQ(GetObjectType(seen), 0u);
  EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
  // Free again: selecting it elsewhere works.
  fw::BitmapDC again(nullptr, bmp);
  EXPECT_EQ(GetCurrentObject(again, OBJ_BITMAP), bmp.Get());
}

class BufferedWnd : public fw::CWnd {
 public:
  bool painted = false;
  COLORREF keptAfterGrow = CLR_INVALID;
  LONG grownWidth = 0;
  HBITMAP offscreen = nullptr;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_PAINT) {
      exmfc::CBufferDC dc(GetHwnd());
      RECT r = GetClientRect();
      fw::OwnedBrush red(CreateSolidBrush(RGB(200, 0, 0)));
      FillRect(dc, &r, red);
      RECT bigger = {0, 0, r.right + 50, r.bottom + 10};
      dc.SetBoundsRect(bigger);
      keptAfterGrow = GetPixel(dc, 5, 5);
      offscreen = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
      BITMAP info{};
      GetObjectA(offscreen, sizeof info, &info);
      grownWidth = info.bmWidth;
      painted = true;
      return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return fw::CWnd::WindowProc(msg, w, l);
  }
};

TEST(BufferDCTest, GrowingKeepsTheDrawingAndTheCopyReachesTheWindow) {
  BufferedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, fw::CWnd::RegisterWndClass(0), "b", WS_POPUP | WS_VISIBLE,
                           RECT{1000, 100, 1100, 140}, nullptr, 0));
  UpdateWindow(wnd);
  ASSERT_TRUE(guitest::PumpUntil([&] { return wnd.painted; }));
  EXPECT_EQ(wnd.keptAfterGrow, RGB(200, 0, 0));
  EXPECT_EQ(wnd.grownWidth, 150);
  EXPECT_EQ(GetObjectType(wnd.offscreen), 0u) << "off-screen bitmap freed after the copy";
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(guitest::CaptureWindow(wnd, true, px, w, h));
  EXPECT_EQ(px[20 * w + 50], 0xC80000u);
  wnd.DestroyWindow();
}

}  // namespace
