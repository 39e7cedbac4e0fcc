#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "exmfc/WindowSkin.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/DialogTemplate.h"
#include "framework/FrameWnd.h"
#include "support/gui/MessagePump.h"
#include "support/gui/PixelCapture.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kBody = RGB(60, 60, 60);

// 30 x 30 skin: the three outermost pixels of every corner are magenta; the
// pixel next to them on the top row is one step off magenta.
HBITMAP MakeSkin() {
  return guitest::MakeBitmap(30, 30, [](int x, int y) {
    int cx = x < 15 ? x : 29 - x, cy = y < 15 ? y : 29 - y;
    if (cx + cy <= 1) return kMagenta;
    if (cy == 0 && cx == 2) return RGB(255, 0, 254);
    return kBody;
  });
}

class SkinnedFrame : public exmfc::CWindowSkin<fw::CFrameWnd> {
 public:
  SkinnedFrame() : CWindowSkin(0) { SetSkinBitmap(MakeSkin()); }
  int initCalls = 0;
  bool imageBeforeInit = false;
  COLORREF textColour = RGB(221, 221, 221);

  bool Open(int x, int y, int w, int h) {
    return Create(nullptr, "skinned", WS_POPUP | WS_VISIBLE, RECT{x, y, x + w, y + h});
  }

 protected:
  void InitSkin() override {
    ++initCalls;
    imageBeforeInit = WindowImage() != nullptr;
    regionOn_ = true;
    keyColour_ = kMagenta;
    RECT c = GetClientRect();
    captionRect_ = RECT{0, 0, c.right, 30};
    ctlTextColour_ = textColour;
    ctlBkColour_ = RGB(1, 2, 3);
    titleText_ = "Title";
    titleRect_ = RECT{10, 5, 100, 25};
    SetTitleFontCopy(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  }
};

TEST(WindowSkinTest, RegionLeavesOutExactlyTheKeyPixels) {
  SkinnedFrame frame;
  ASSERT_TRUE(frame.Open(100, 100, 200, 120));
  EXPECT_EQ(frame.initCalls, 1);
  EXPECT_FALSE(frame.imageBeforeInit) << "InitSkin runs before the first rendering";
  ASSERT_NE(frame.WindowImage(), nullptr);

  fw::OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(frame, rgn), ERROR);
  // Corners keep their size: the key pixels are at the window's corners.
  const POINT holes[] = {{0, 0}, {1, 0}, {0, 1}, {199, 0}, {198, 0}, {199, 1},
                         {0, 119}, {1, 119}, {199, 119}, {199, 118}};
  for (POINT p : holes) EXPECT_FALSE(PtInRegion(rgn, p.x, p.y)) << p.x << "," << p.y;
  EXPECT_TRUE(PtInRegion(rgn, 2, 0)) << "one step off the key stays inside";
  EXPECT_TRUE(PtInRegion(rgn, 1, 1));
  EXPECT_TRUE(PtInRegion(rgn, 100, 60));
  frame.DestroyWindow();
}

TEST(WindowSkinTest, ResizeRebuildsImageAndRegion) {
  SkinnedFrame frame;
  ASSERT_TRUE(frame.Open(100, 100, 200, 120));
  HBITMAP first = frame.WindowImage();
  HBRUSH firstBrush = frame.BackgroundBrush();
  SetWindowPos(frame, nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(GetObjectType(first), 0u) << "old window image freed";
  EXPECT_EQ(GetObjectType(firstBrush), 0u) << "old pattern brush freed";
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(frame.WindowImage(), sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 260);
  EXPECT_EQ(info.bmHeight, 150);
  fw::OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(frame, rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 259, 149));
  EXPECT_TRUE(PtInRegion(rgn, 258, 148));
  // The image holds the skin: a body pixel in the centre.
  guitest::Dib32 dib(260, 150);
  ASSERT_TRUE(guitest::CopyBitmap(frame.WindowImage(), dib));
  EXPECT_EQ(dib.At(130, 100), kBody);
  frame.DestroyWindow();
}

TEST(WindowSkinTest, StaticChildrenGetSkinColoursAndAlignedBrush) {
  SkinnedFrame frame;
  ASSERT_TRUE(frame.Open(100, 100, 200, 120));
  fw::CStatic label;
  ASSERT_TRUE(label.Create("text", WS_CHILD | WS_VISIBLE, RECT{20, 40, 120, 60}, frame, 5));
  guitest::Dib32 dib(4, 4);
  SetBkMode(dib.Dc(), OPAQUE);
  LRESULT brush = frame.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dib.Dc()),
                                    reinterpret_cast<LPARAM>(label.GetHwnd()));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), frame.BackgroundBrush());
  EXPECT_EQ(GetTextColor(dib.Dc()), RGB(221, 221, 221));
  EXPECT_EQ(GetBkMode(dib.Dc()), TRANSPARENT);
  POINT origin{};
  GetBrushOrgEx(dib.Dc(), &origin);
  EXPECT_EQ(origin.x, -20);
  EXPECT_EQ(origin.y, -40);
  frame.DestroyWindow();
}

TEST(WindowSkinTest, CaptionDragKeepsTheGrabbedPointUnderTheCursor) {
  // Bottom-right of the screen, away from centred windows of other tests.
  SkinnedFrame frame;
  ASSERT_TRUE(frame.Open(1000, 760, 200, 120));
  SetForegroundWindow(frame);
  guitest::PumpFor(50);
  guitest::MoveMouseTo(POINT{1040, 770});  // client (40, 10), in the caption
  guitest::MouseButton(true, true);
  ASSERT_TRUE(frame.IsDragging());
  guitest::MoveMouseTo(POINT{1080, 830});
  guitest::PumpUntil([&] { return frame.GetWindowRect().left == 1040; }, 1000);
  RECT r = frame.GetWindowRect();
  EXPECT_EQ(r.left, 1040);
  EXPECT_EQ(r.top, 820);
  EXPECT_EQ(r.right - r.left, 200) << "size kept";
  guitest::MouseButton(true, false);
  EXPECT_FALSE(frame.IsDragging());
  // Moving after the release no longer moves the window.
  guitest::MoveMouseTo(POINT{1100, 900});
  guitest::PumpFor(50);
  EXPECT_EQ(frame.GetWindowRect().left, 1040);

  // A press below the caption starts no drag.
  guitest::MoveMouseTo(POINT{1080, 890});  // client (40, 70)
  guitest::MouseButton(true, true);
  EXPECT_FALSE(frame.IsDragging());
  guitest::MouseButton(true, false);
  frame.DestroyWindow();
}

TEST(WindowSkinTest, LostCaptureEndsTheDrag) {
  SkinnedFrame frame;
  ASSERT_TRUE(frame.Open(300, 300, 200, 120));
  frame.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ASSERT_TRUE(frame.IsDragging());
  EXPECT_EQ(GetCapture(), frame.GetHwnd());
  ReleaseCapture();
  EXPECT_FALSE(frame.IsDragging());
  frame.DestroyWindow();
}

TEST(WindowSkinTest, SystemMenuItemStates) {
  auto normal = exmfc::ComputeSystemMenuState(WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, false, false);
  EXPECT_FALSE(normal.restore);
  EXPECT_FALSE(normal.maximize) << "no maximise box";
  EXPECT_TRUE(normal.minimize);
  EXPECT_FALSE(normal.size) << "no sizing frame";
  EXPECT_TRUE(normal.move);
  EXPECT_EQ(normal.defaultItem, static_cast<UINT>(SC_CLOSE));
  auto minimized = exmfc::ComputeSystemMenuState(WS_OVERLAPPEDWINDOW, true, false);
  EXPECT_TRUE(minimized.restore);
  EXPECT_TRUE(minimized.maximize);
  EXPECT_FALSE(minimized.minimize);
  EXPECT_FALSE(minimized.size);
  EXPECT_FALSE(minimized.move);
  EXPECT_EQ(minimized.defaultItem, static_cast<UINT>(SC_RESTORE));
  auto maximized = exmfc::ComputeSystemMenuState(WS_OVERLAPPEDWINDOW, false, true);
  EXPECT_TRUE(maximized.restore);
  EXPECT_FALSE(maximized.maximize);
  EXPECT_TRUE(maximized.minimize);
  EXPECT_FALSE(maximized.size);
}

class SkinnedDialog : public exmfc::CWindowSkin<fw::CDialog> {
 public:
  explicit SkinnedDialog(const fw::CDialogTemplate* t) : CWindowSkin(0, t) {
    SetSkinBitmap(MakeSkin());
  }
  bool initSkinFirst = false;
  bool hadRegion = false;
  bool sawInitSkin = false;

 protected:
  void InitSkin() override {
    sawInitSkin = true;
    regionOn_ = true;
    keyColour_ = kMagenta;
  }
  BOOL OnInitDialog() override {
    initSkinFirst = sawInitSkin;
    fw::OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
    hadRegion = GetWindowRgn(GetHwnd(), rgn) != ERROR && !PtInRegion(rgn, 0, 0) &&
                PtInRegion(rgn, 5, 5);
    EndDialog(IDOK);
    return TRUE;
  }
};

TEST(WindowSkinTest, SkinnedDialogIsShapedBeforeInitDialog) {
  fw::CDialogTemplate t(WS_POPUP | WS_VISIBLE, 0, 20, 20, 120, 80, "", nullptr);
  SkinnedDialog dlg(&t);
  EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
  EXPECT_TRUE(dlg.initSkinFirst);
  EXPECT_TRUE(dlg.hadRegion);
}

TEST(WindowSkinTest, EveryGdiObjectIsFreedWithTheWindow) {
  std::vector<HGDIOBJ> made;
  for (int i = 0; i < 40; ++i) {
    SkinnedFrame frame;
    ASSERT_TRUE(frame.Open(100, 100, 120 + i, 90));
    made.push_back(frame.WindowImage());
    made.push_back(frame.BackgroundBrush());
    made.push_back(frame.TitleFont());
    made.push_back(frame.SkinBitmap());
    frame.DestroyWindow();
  }
  for (HGDIOBJ h : made) {
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetObjectType(h), 0u);
  }
}

}  // namespace
