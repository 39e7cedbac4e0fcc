#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "exmfc/SkinButton.h"
#include "framework/Wnd.h"
#include "support/gui/MessagePump.h"
#include "support/gui/PixelCapture.h"

namespace {

const COLORREF kColours[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(90, 90, 90),
                             RGB(10, 200, 200)};

// A strip of `count` solid 20x10 images in the colours above.
HBITMAP MakeStrip(int count) {
  return guitest::MakeBitmap(20 * count, 10, [](int x, int) { return kColours[x / 20]; });
}

// The window sits in the screen's bottom-right corner, away from the
// centred windows other GUI tests show while this one runs.
class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, fw::CWnd::RegisterWndClass(0), "p", WS_POPUP | WS_VISIBLE,
                                 RECT{1000, 760, 1260, 960}, nullptr, 0));
  }
  void TearDown() override { parent_.DestroyWindow(); }

  // Draws `button` through its parent's WM_DRAWITEM and returns the colour
  // at (5, 5).
  COLORREF DrawnColour(exmfc::CSkinButton& button, UINT state) {
    guitest::Dib32 dib(20, 10);
    dib.Fill(RGB(1, 1, 1));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = button.GetDlgCtrlID();
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = button.GetHwnd();
    dis.hDC = dib.Dc();
    SetRect(&dis.rcItem, 0, 0, 20, 10);
    parent_.SendMessage(WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return dib.At(5, 5);
  }

  fw::CWnd parent_;
};

TEST_F(ButtonTest, StripOf0x0FHasItsOwnDisabledImage) {
  exmfc::CSkinButton b;
  ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 20}, parent_, 100));
  fw::OwnedBitmap strip(MakeStrip(4));
  b.SetSkinStrip(strip, 0x0F, 20);
  EXPECT_EQ(DrawnColour(b, 0), kColours[0]);
  EXPECT_EQ(DrawnColour(b, ODS_SELECTED), kColours[1]);
  EXPECT_EQ(DrawnColour(b, ODS_DISABLED), kColours[3]);
  EXPECT_EQ(b.GetImage(exmfc::CSkinButton::kFocused), nullptr);
}

TEST_F(ButtonTest, StripOf0x07DrawsTheNormalImageWhenDisabled) {
  exmfc::CSkinButton b;
  ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 20}, parent_, 100));
  fw::OwnedBitmap strip(MakeStrip(3));
  b.SetSkinStrip(strip, 0x07, 20);
  b.EnableWindow(FALSE);
  EXPECT_EQ(DrawnColour(b, ODS_DISABLED), kColours[0]);
  EXPECT_NE(b.GetImage(exmfc::CSkinButton::kDisabled), b.GetImage(exmfc::CSkinButton::kNormal))
      << "a copy, not a shared handle";
}

TEST_F(ButtonTest, ImagesAreTakenInStripOrderSkippingAbsentOnes) {
  exmfc::CSkinButton b;
  ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 20}, parent_, 100));
  // Normal and hover only: the second image of the strip is the hover one.
  fw::OwnedBitmap strip(MakeStrip(2));
  b.SetSkinStrip(strip, 0x01 | 0x04, 20);
  EXPECT_EQ(b.GetImage(exmfc::CSkinButton::kPressed), nullptr);
  guitest::Dib32 dib(20, 10);
  ASSERT_TRUE(guitest::CopyBitmap(b.GetImage(exmfc::CSkinButton::kHover), dib));
  EXPECT_EQ(dib.At(5, 5), kColours[1]);
  // Without any image the button falls back to the button-face fill.
  b.SetSkinStrip(nullptr, 0x0F, 20);
  EXPECT_EQ(DrawnColour(b, 0), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ButtonTest, KindComesFromTheStyleAndPushButtonsNeverCheck) {
  exmfc::CSkinButton push, box, radio;
  ASSERT_TRUE(push.Create("p", WS_CHILD | BS_PUSHBUTTON, RECT{0, 0, 50, 20}, parent_, 1));
  ASSERT_TRUE(box.Create("c", WS_CHILD | BS_AUTOCHECKBOX, RECT{0, 30, 50, 50}, parent_, 2));
  ASSERT_TRUE(radio.Create("r", WS_CHILD | BS_AUTORADIOBUTTON, RECT{0, 60, 50, 80}, parent_, 3));
  EXPECT_EQ(push.GetKind(), exmfc::CSkinButton::kPush);
  EXPECT_EQ(box.GetKind(), exmfc::CSkinButton::kCheckBox);
  EXPECT_EQ(radio.GetKind(), exmfc::CSkinButton::kRadio);
  EXPECT_EQ(box.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  push.SetCheck(BST_CHECKED);
  EXPECT_EQ(push.GetCheck(), BST_UNCHECKED);
  box.SetCheck(BST_CHECKED);
  EXPECT_EQ(box.GetCheck(), BST_CHECKED);
}

TEST_F(ButtonTest, TemplateButtonIsTakenOverWithItsKindAndState) {
  HWND raw = CreateWindowExA(0, "BUTTON", "x", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20, parent_,
                             reinterpret_cast<HMENU>(9), GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(raw, nullptr);
  SendMessageA(raw, BM_SETCHECK, BST_CHECKED, 0);
  exmfc::CSkinButton b;
  ASSERT_TRUE(b.Subclass(raw));
  EXPECT_EQ(b.GetKind(), exmfc::CSkinButton::kCheckBox);
  EXPECT_EQ(b.GetCheck(), BST_CHECKED);
  EXPECT_EQ(b.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(ButtonTest, CheckBoxTogglesOnlyWhenReleasedOverIt) {
  exmfc::CSkinButton box;
  ASSERT_TRUE(box.Create("check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, RECT{20, 20, 120, 40},
                         parent_, 2));
  SetForegroundWindow(parent_);
  guitest::PumpFor(30);
  // Press and release over the box: ticked.
  guitest::MoveMouseTo(POINT{1030, 790});
  guitest::MouseButton(true, true);
  EXPECT_TRUE(box.IsPressed());
  guitest::MouseButton(true, false);
  EXPECT_EQ(box.GetCheck(), BST_CHECKED);
  EXPECT_FALSE(box.IsPressed());
  // Press over it, drag away, release: unchanged.
  guitest::MouseButton(true, true);
  guitest::MoveMouseTo(POINT{1200, 940});
  guitest::MouseButton(true, false);
  EXPECT_EQ(box.GetCheck(), BST_CHECKED);
  // Space toggles too.
  box.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  box.SendMessage(WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
}

TEST_F(ButtonTest, CheckingARadioButtonUnchecksItsGroupOnly) {
  exmfc::CSkinButton a, b, c, other;
  ASSERT_TRUE(a.Create("a", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
                       RECT{0, 0, 50, 20}, parent_, 11));
  ASSERT_TRUE(b.Create("b", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, RECT{0, 20, 50, 40},
                       parent_, 12));
  ASSERT_TRUE(c.Create("c", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, RECT{0, 40, 50, 60},
                       parent_, 13));
  ASSERT_TRUE(other.Create("o", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
                           RECT{0, 60, 50, 80}, parent_, 14));
  other.SetCheck(BST_CHECKED);
  a.SetCheck(BST_CHECKED);
  guitest::PumpPending();
  EXPECT_EQ(a.GetCheck(), BST_CHECKED);
  b.SetCheck(BST_CHECKED);
  guitest::PumpPending();
  EXPECT_EQ(a.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(b.GetCheck(), BST_CHECKED);
  EXPECT_EQ(c.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(other.GetCheck(), BST_CHECKED) << "another group is left alone";
  // A click on c checks it and clears b.
  c.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  guitest::PumpPending();
  EXPECT_EQ(c.GetCheck(), BST_CHECKED);
  EXPECT_EQ(b.GetCheck(), BST_UNCHECKED);
}

TEST_F(ButtonTest, HoverFollowsTheMouse) {
  exmfc::CSkinButton b;
  ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, RECT{20, 20, 40, 30}, parent_, 100));
  fw::OwnedBitmap strip(MakeStrip(3));
  b.SetSkinStrip(strip, 0x07, 20);
  SetForegroundWindow(parent_);
  guitest::MoveMouseTo(POINT{1025, 785});
  guitest::PumpUntil([&] { return b.IsHover(); }, 1000);
  EXPECT_TRUE(b.IsHover());
  EXPECT_EQ(DrawnColour(b, 0), kColours[2]) << "hover image";
  guitest::MoveMouseTo(POINT{1200, 940});
  guitest::PumpUntil([&] { return !b.IsHover(); }, 1000);
  EXPECT_FALSE(b.IsHover());
  EXPECT_EQ(DrawnColour(b, 0), kColours[0]);
}

TEST_F(ButtonTest, TooltipIsCreatedOnceAndRetexted) {
  exmfc::CSkinButton b;
  ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 10}, parent_, 100));
  EXPECT_EQ(b.GetTooltip(), nullptr);
  b.SetTooltipText("Details");
  HWND tip = b.GetTooltip();
  ASSERT_NE(tip, nullptr);
  b.SetTooltipText("Other");
  EXPECT_EQ(b.GetTooltip(), tip);
  char text[32] = {};
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.hwnd = b.GetHwnd();
  ti.uId = 1;
  ti.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, "Other");
}

TEST_F(ButtonTest, ImagesAreFreedWhenReplacedAndWithTheButton) {
  std::vector<HGDIOBJ> made;
  for (int i = 0; i < 30; ++i) {
    exmfc::CSkinButton b;
    ASSERT_TRUE(b.Create("", WS_CHILD, RECT{0, 0, 20, 10}, parent_, 100));
    fw::OwnedBitmap strip(MakeStrip(4));
    b.SetSkinStrip(strip, 0x0F, 20);
    for (int k = 0; k < 4; ++k) made.push_back(b.GetImage(static_cast<exmfc::CSkinButton::Image>(k)));
    b.SetSkinStrip(strip, 0x07, 20);  // replaces the four
    for (int k = 0; k < 4; ++k) made.push_back(b.GetImage(static_cast<exmfc::CSkinButton::Image>(k)));
    b.DestroyWindow();
  }
  for (HGDIOBJ h : made) {
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetObjectType(h), 0u);
  }
}

}  // namespace
