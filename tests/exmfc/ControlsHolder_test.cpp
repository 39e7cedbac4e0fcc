// Holders, shape windows and the font table.
#include <windows.h>

#include <gtest/gtest.h>

#include "exmfc/ControlsHolder.h"
#include "exmfc/FontTable.h"
#include "exmfc/ShapeWnd.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"
#include "support/gui/MessagePump.h"
#include "support/gui/PixelCapture.h"

namespace {

class Panel : public exmfc::CControlsHolder {
 public:
  int shows = 0, hides = 0;

 protected:
  BOOL OnShow() override {
    ++shows;
    return 7;
  }
  BOOL OnHide() override {
    ++hides;
    return 8;
  }
};

class Parent : public fw::CWnd {
 public:
  UINT lastCommand = 0;
  fw::OwnedBrush brush{CreateSolidBrush(RGB(12, 34, 56))};
  bool OnCmdMsg(UINT id, UINT, HWND) override {
    lastCommand = id;
    return true;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(brush.Get());
    return fw::CWnd::WindowProc(msg, w, l);
  }
};

class HolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, fw::CWnd::RegisterWndClass(0), "p", WS_POPUP | WS_VISIBLE,
                                 RECT{300, 300, 600, 500}, nullptr, 0));
    ASSERT_TRUE(a_.Create("a", WS_CHILD, RECT{10, 10, 60, 30}, parent_, 1));
    ASSERT_TRUE(b_.Create("b", WS_CHILD, RECT{10, 40, 60, 60}, parent_, 2));
  }
  void TearDown() override { parent_.DestroyWindow(); }
  Parent parent_;
  fw::CButton a_, b_;
};

TEST_F(HolderTest, ShowAndHideEveryControlAndCallTheHooks) {
  Panel panel;
  panel.AddControl(&a_);
  panel.AddControl(&b_);
  EXPECT_EQ(panel.Show(), 7);
  EXPECT_TRUE(a_.IsWindowVisible());
  EXPECT_TRUE(b_.IsWindowVisible());
  EXPECT_EQ(panel.shows, 1);
  EXPECT_EQ(panel.Hide(), 8);
  EXPECT_FALSE(a_.IsWindowVisible());
  EXPECT_FALSE(b_.IsWindowVisible());
  EXPECT_EQ(panel.hides, 1);
  panel.Disable();
  EXPECT_FALSE(a_.IsWindowEnabled());
  EXPECT_FALSE(b_.IsWindowEnabled());
  panel.Enable();
  EXPECT_TRUE(b_.IsWindowEnabled());
}

TEST_F(HolderTest, OffsetMovesInParentCoordinates) {
  Panel panel;
  panel.AddControl(&a_);
  panel.AddControl(&b_);
  panel.Offset(5, -3);
  RECT r = a_.GetWindowRect();
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right - r.left, 50);
  r = b_.GetWindowRect();
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 37);
}

TEST_F(HolderTest, DuplicatesAppearTwiceAndRemoveTakesOne) {
  Panel panel;
  panel.AddControl(&a_);
  panel.AddControl(&a_);
  panel.AddControl(&b_);
  panel.Offset(1, 0);  // a moves twice
  RECT r = a_.GetWindowRect();
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 12);
  panel.RemoveControl(&a_);
  ASSERT_EQ(panel.Controls().size(), 2u);
  EXPECT_EQ(panel.Controls()[0], &a_);
  panel.RemoveControl(&a_);
  panel.RemoveControl(&a_);  // absent: nothing happens
  ASSERT_EQ(panel.Controls().size(), 1u);
  EXPECT_EQ(panel.Controls()[0], &b_);
}

TEST_F(HolderTest, ShapeForwardsChildNotificationsToItsParent) {
  exmfc::CShapeWnd shape;
  ASSERT_TRUE(shape.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD | WS_VISIBLE,
                           RECT{100, 10, 280, 180}, parent_, 50));
  fw::CButton inner;
  ASSERT_TRUE(inner.Create("in", WS_CHILD | WS_VISIBLE, RECT{5, 5, 60, 25}, shape, 77));
  inner.SendMessage(BM_CLICK);
  EXPECT_EQ(parent_.lastCommand, 77u);
  HDC dc = GetDC(inner);
  LRESULT brush = shape.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(inner.GetHwnd()));
  ReleaseDC(inner, dc);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), parent_.brush.Get());

  parent_.lastCommand = 0;
  shape.SetForwarding(false);
  inner.SendMessage(BM_CLICK);
  EXPECT_EQ(parent_.lastCommand, 0u);
}

TEST_F(HolderTest, ShapePaintsFillAndFrameFromTheStyle) {
  exmfc::CShapeWnd shape;
  ASSERT_TRUE(shape.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD | WS_VISIBLE,
                           RECT{100, 10, 200, 60}, parent_, 50));
  exmfc::ShapeStyle style;
  EXPECT_EQ(style.mask, 0u);
  EXPECT_EQ(style.textAlign, 2u);
  style.fillColour = RGB(255, 255, 255);
  style.frameColour = RGB(240, 0, 0);
  style.frameWidth = 2;
  style.mask = exmfc::SHAPE_FILL | exmfc::SHAPE_FRAME | exmfc::SHAPE_FRAME_WIDTH;
  shape.SetShapeStyle(style);
  UpdateWindow(shape);
  guitest::Dib32 dib(100, 50);
  shape.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.Dc()), PRF_CLIENT);
  // WM_PRINTCLIENT is not drawn by every class; capture from the screen.
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(guitest::CaptureWindow(shape, true, px, w, h));
  ASSERT_EQ(w, 100);
  EXPECT_EQ(px[0], 0xF00000u) << "frame, inside the client rectangle";
  EXPECT_EQ(px[1 * w + 1], 0xF00000u) << "2 pixels wide";
  EXPECT_EQ(px[2 * w + 2], 0xFFFFFFu) << "fill";
  EXPECT_EQ(px[25 * w + 50], 0xFFFFFFu);
}

TEST(FontTableTest, EachDescriptorMakesItsFontAndTheTableFreesOnlyWhatItMade) {
  EXPECT_EQ(exmfc::FontHeight(8, 96), -11);   // 10.67 rounds to 11
  EXPECT_EQ(exmfc::FontHeight(13, 96), -17);  // 17.33
  EXPECT_EQ(exmfc::FontHeight(14, 120), -23); // 23.33
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  using exmfc::FontDescriptor;
  const FontDescriptor list[] = {
      {FontDescriptor::kCreate, 3, 0, "Arial", 14,
       exmfc::FONT_BOLD | exmfc::FONT_ITALIC | exmfc::FONT_UNDERLINE | exmfc::FONT_STRIKEOUT,
       ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH},
      {FontDescriptor::kCreate, 0, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
      {FontDescriptor::kStock, 9, DEFAULT_GUI_FONT, nullptr, 0, 0, 0, 0, 0, 0, 0},
      {FontDescriptor::kEnd, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0},
      {FontDescriptor::kCreate, 5, 0, "Past the end", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
  };
  HFONT made[2];
  {
    exmfc::CFontTable table(list);
    made[0] = table.Get(3);
    made[1] = table.Get(0);
    ASSERT_NE(made[0], nullptr);
    ASSERT_NE(made[1], nullptr);
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(made[0], sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -MulDiv(14, dpi, 72));
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(lf.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, VARIABLE_PITCH);
    ASSERT_EQ(GetObjectA(made[1], sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(table.Get(9).Get(), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(table.Get(5).Get(), nullptr) << "descriptors after the end are not read";
    EXPECT_EQ(table.Get(-1).Get(), nullptr);
    EXPECT_EQ(table.Get(3).Get(), made[0]) << "made once";
  }
  EXPECT_EQ(GetObjectType(made[0]), 0u);
  EXPECT_EQ(GetObjectType(made[1]), 0u);
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
}

TEST(FontTableTest, CopyIsANewFontWithTheSameLogfont) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HFONT copy = exmfc::CopyFont(font);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, font);
  LOGFONTA a{}, b{};
  GetObjectA(copy, sizeof a, &a);
  GetObjectA(font, sizeof b, &b);
  EXPECT_EQ(memcmp(&a, &b, sizeof a), 0);
  DeleteObject(copy);
  EXPECT_EQ(exmfc::CopyFont(nullptr), nullptr);
}

}  // namespace
