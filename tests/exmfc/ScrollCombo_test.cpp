// The skinned scroll bar, combo box and hyperlink.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "exmfc/HyperLink.h"
#include "exmfc/ScrollBarEx.h"
#include "exmfc/SkinComboBox.h"
#include "framework/Controls.h"
#include "support/gui/MessagePump.h"

namespace {

class Host : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, fw::CWnd::RegisterWndClass(0), "p", WS_POPUP | WS_VISIBLE,
                                 RECT{300, 300, 700, 600}, nullptr, 0));
  }
  void TearDown() override { parent_.DestroyWindow(); }
  // An owner-drawn list at the parent's top left, `height` pixels high, with
  // `rows` rows of `rowHeight` pixels.
  void MakeList(fw::CListBox& list, int height, int rowHeight, int rows) {
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                LBS_NOINTEGRALHEIGHT,
                            RECT{0, 0, 150, height}, parent_, 5));
    list.SetItemHeight(0, rowHeight);
    for (int i = 0; i < rows; ++i) list.AddString("row");
  }
  fw::CWnd parent_;
};

TEST_F(Host, BoundBarIsEnabledOnlyWhenRowsDoNotFit) {
  fw::CListBox list;
  // 100 pixels of client height at 20 per row: 5 visible rows.
  MakeList(list, 100, 20, 0);
  exmfc::CScrollBarEx bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{150, 0, 166, 100}, parent_, 6));
  EXPECT_EQ(bar.GetMin(), 0);
  EXPECT_EQ(bar.GetMax(), 100);
  EXPECT_EQ(bar.GetPos(), 50);
  bar.UpdateFromList();  // not bound yet: nothing changes
  EXPECT_EQ(bar.GetMax(), 100);
  bar.Bind(list);
  for (int i = 0; i < 5; ++i) list.AddString("row");
  bar.UpdateFromList();
  EXPECT_FALSE(bar.IsWindowEnabled()) << "all five rows fit";
  for (int i = 0; i < 4; ++i) list.AddString("row");
  list.SetTopIndex(2);
  bar.UpdateFromList();
  EXPECT_TRUE(bar.IsWindowEnabled());
  EXPECT_EQ(bar.GetMin(), 0);
  EXPECT_EQ(bar.GetMax(), 4);  // 9 items - 5 visible
  EXPECT_EQ(bar.GetPos(), 2);
  // Thumb: track 16..84 (68 high), 17 high, at 16 + (68 - 17) * 2 / 4.
  EXPECT_EQ(bar.ThumbTop(), 16 + 51 * 2 / 4);
}

TEST_F(Host, ArrowScrollsTheListAndRepeatsWhileHeld) {
  fw::CListBox list;
  MakeList(list, 100, 20, 30);
  exmfc::CScrollBarEx bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{150, 0, 166, 100}, parent_, 6));
  bar.Bind(list);
  bar.UpdateFromList();
  ASSERT_TRUE(bar.IsWindowEnabled());
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 95));  // down arrow
  EXPECT_EQ(list.GetTopIndex(), 1) << "one line at once";
  EXPECT_EQ(GetCapture(), bar.GetHwnd());
  guitest::PumpUntil([&] { return list.GetTopIndex() >= 3; }, 2000);
  EXPECT_GE(list.GetTopIndex(), 3) << "the 100 ms timer repeats the line";
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(8, 95));
  int stopped = list.GetTopIndex();
  guitest::PumpFor(300);
  EXPECT_EQ(list.GetTopIndex(), stopped) << "release stops the repeat";
  EXPECT_EQ(bar.GetPos(), stopped);
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 3));  // up arrow
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(8, 3));
  EXPECT_EQ(list.GetTopIndex(), stopped - 1);
}

TEST_F(Host, ThumbDragSetsTheTopIndex) {
  fw::CListBox list;
  MakeList(list, 100, 20, 15);  // max 10
  exmfc::CScrollBarEx bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{150, 0, 166, 100}, parent_, 6));
  bar.Bind(list);
  bar.UpdateFromList();
  ASSERT_EQ(bar.ThumbTop(), 16);
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 20));  // grab 4 below its top
  // Thumb top 16 + 28 = 44: position 10 * 28 / (68 - 12) = 5.
  bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(8, 48));
  EXPECT_EQ(list.GetTopIndex(), 5);
  EXPECT_EQ(bar.GetPos(), 5);
  // Far below the track: clamped to the end.
  bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(8, 400));
  EXPECT_EQ(bar.GetPos(), 10);
  bar.SendMessage(WM_LBUTTONUP, 0, 0);
}

// A 16-pixel wide bitmap of one colour, as a stand-in for a piece resource.
HBITMAP SolidPiece(COLORREF colour, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, height);
  {
    fw::BitmapDC dc(screen, bitmap);
    RECT all = {0, 0, 16, height};
    fw::OwnedBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &all, brush);
  }
  ReleaseDC(nullptr, screen);
  return bitmap;
}

COLORREF PixelOf(HBITMAP image, int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour;
  {
    fw::BitmapDC dc(screen, image);
    colour = GetPixel(dc, x, y);
  }
  ReleaseDC(nullptr, screen);
  return colour;
}

// At 144 DPI the bar is 24 pixels wide: arrows and thumb grow with it, the
// 16-pixel pieces cover them whole, and clicks follow the drawn arrows.
TEST_F(Host, WiderBarGrowsItsArrowsAndThumbAndStretchesThePieces) {
  fw::CListBox list;
  MakeList(list, 150, 30, 15);  // 5 visible, max 10
  exmfc::CScrollBarEx bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, RECT{150, 0, 174, 150}, parent_, 6));
  bar.SetPiece(exmfc::CScrollBarEx::kUp, SolidPiece(RGB(255, 0, 0), 16));
  bar.SetPiece(exmfc::CScrollBarEx::kDown, SolidPiece(RGB(0, 0, 255), 16));
  bar.SetPiece(exmfc::CScrollBarEx::kThumb, SolidPiece(RGB(0, 255, 0), 17));
  bar.Bind(list);
  bar.UpdateFromList();
  ASSERT_TRUE(bar.IsWindowEnabled());
  EXPECT_EQ(bar.ArrowHeight(), 24);
  EXPECT_EQ(bar.ThumbHeight(), 26);  // 17 * 1.5, rounded
  EXPECT_EQ(bar.ThumbTop(), 24);
  HBITMAP image = bar.WindowImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelOf(image, 22, 2), RGB(255, 0, 0)) << "the up piece reaches the bar's right edge";
  EXPECT_EQ(PixelOf(image, 12, 20), RGB(255, 0, 0)) << "and its lower part";
  EXPECT_EQ(PixelOf(image, 22, 148), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(image, 12, 127), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(image, 22, 24 + 25), RGB(0, 255, 0)) << "the thumb's last row";

  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 140));  // down arrow's upper part
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(12, 140));
  EXPECT_EQ(list.GetTopIndex(), 1);
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 20));  // up arrow's lower part
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(12, 20));
  EXPECT_EQ(list.GetTopIndex(), 0);
}

class Recorder : public exmfc::ISkinComboBoxCallback {
 public:
  std::vector<int> calls;
  void OnSkinComboSelChange(exmfc::CSkinComboBox* combo) override {
    calls.push_back(combo->GetCurSel());
  }
};

int PopupHeight(exmfc::CSkinComboBox& combo) {
  RECT r = combo.Popup().GetWindowRect();
  return r.bottom - r.top;
}

TEST_F(Host, DropDownHeightFollowsTheItemCount) {
  exmfc::CSkinComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 220, 44}, parent_, 9));
  for (int i = 0; i < 3; ++i) combo.AddItem("session");
  combo.ToggleDropDown();
  ASSERT_TRUE(combo.Popup().IsOpen());
  EXPECT_EQ(PopupHeight(combo), 66);
  EXPECT_FALSE(combo.Popup().ScrollBar().IsWindowVisible());
  RECT box = combo.GetWindowRect(), pop = combo.Popup().GetWindowRect();
  EXPECT_EQ(pop.top, box.bottom + 1);
  EXPECT_EQ(pop.left, box.left);
  EXPECT_EQ(pop.right - pop.left, box.right - box.left);
  combo.ToggleDropDown();
  EXPECT_FALSE(combo.Popup().IsOpen());

  for (int i = 0; i < 5; ++i) combo.AddItem("more");
  combo.ToggleDropDown();
  EXPECT_EQ(PopupHeight(combo), 106);
  exmfc::CScrollBarEx& bar = combo.Popup().ScrollBar();
  EXPECT_TRUE(bar.IsWindowVisible());
  EXPECT_TRUE(bar.IsWindowEnabled());
  EXPECT_EQ(bar.GetMax(), 3);
  RECT client = combo.Popup().GetClientRect();
  RECT barRect = bar.GetWindowRect();
  EXPECT_EQ(barRect.right - barRect.left, 16);
  RECT listRect = combo.Popup().List().GetWindowRect();
  EXPECT_EQ(listRect.right, barRect.left - 1) << "the list ends 1 pixel left of the bar";
  EXPECT_EQ(client.bottom, 106) << "borderless: the list area is the whole window";
  EXPECT_EQ(combo.Popup().List().GetItemHeight(0), 20);
  combo.ToggleDropDown();
}

TEST_F(Host, EscapeKeepsTheSelectionAndEnterTakesIt) {
  exmfc::CSkinComboBox combo;
  Recorder rec;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 220, 44}, parent_, 9));
  combo.SetCallback(&rec);
  combo.AddItem("first");
  combo.AddItem("second");
  combo.AddItem("third");
  combo.SetCurSel(0);
  EXPECT_TRUE(rec.calls.empty()) << "SetCurSel is not a user change";

  combo.ToggleDropDown();
  fw::CListBox& list = combo.Popup().List();
  EXPECT_EQ(list.GetCurSel(), 0) << "the list opens on the current selection";
  list.SetCurSel(2);
  list.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(combo.Popup().IsOpen());
  EXPECT_EQ(combo.GetCurSel(), 0);
  EXPECT_TRUE(rec.calls.empty());

  combo.ToggleDropDown();
  list.SetCurSel(1);
  list.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(combo.Popup().IsOpen());
  EXPECT_EQ(combo.GetCurSel(), 1);
  EXPECT_EQ(rec.calls, std::vector<int>{1});
}

TEST_F(Host, ClickTakesTheRowUnderTheMouseAndFocusLossCancels) {
  exmfc::CSkinComboBox combo;
  Recorder rec;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 220, 44}, parent_, 9));
  combo.SetCallback(&rec);
  for (const char* t : {"a", "b", "c", "d"}) combo.AddItem(t);
  combo.ToggleDropDown();
  fw::CListBox& list = combo.Popup().List();
  list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 45));  // row 2
  EXPECT_EQ(list.GetCurSel(), 2);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 65));  // row 3
  EXPECT_EQ(combo.GetCurSel(), 3);
  EXPECT_EQ(rec.calls, std::vector<int>{3});

  combo.ToggleDropDown();
  ASSERT_TRUE(combo.Popup().IsOpen());
  list.SetCurSel(0);
  SetFocus(parent_);  // focus leaves the drop-down
  EXPECT_FALSE(combo.Popup().IsOpen());
  EXPECT_EQ(combo.GetCurSel(), 3);
  EXPECT_EQ(rec.calls.size(), 1u);
}

TEST_F(Host, SelectNextAndPreviousStayWithinTheItems) {
  exmfc::CSkinComboBox combo;
  Recorder rec;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 220, 44}, parent_, 9));
  combo.SetCallback(&rec);
  combo.SelectNext();
  EXPECT_EQ(combo.GetCurSel(), -1) << "no items";
  combo.AddItem("a");
  combo.AddItem("b");
  combo.SelectPrevious();
  EXPECT_EQ(combo.GetCurSel(), -1);
  combo.SelectNext();
  combo.SelectNext();
  combo.SelectNext();
  EXPECT_EQ(combo.GetCurSel(), 1);
  combo.SelectPrevious();
  EXPECT_EQ(combo.GetCurSel(), 0);
  EXPECT_EQ(rec.calls, (std::vector<int>{0, 1, 0}));
}

class CountingLink : public exmfc::CHyperLink {
 public:
  int opened = 0;

 protected:
  void OpenTarget() override { ++opened; }
};

TEST_F(Host, HyperLinkColoursAndClick) {
  CountingLink link;
  ASSERT_TRUE(link.Create("site", WS_CHILD | WS_VISIBLE, RECT{20, 100, 120, 115}, parent_, 1006));
  EXPECT_EQ(link.CurrentTextColour(), 0xFF0000u);
  link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(link.IsHover());
  EXPECT_EQ(link.CurrentTextColour(), 0x0000FFu);
  link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(link.CurrentTextColour(), 0xE100C8u);
  link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(link.opened, 0) << "no target, nothing to open";
  link.SetTarget("http://example.invalid/");
  link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(link.opened, 1);
  link.SetOpenOnClick(false);
  link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(link.opened, 1);
  link.SendMessage(WM_MOUSELEAVE);
  EXPECT_FALSE(link.IsHover());
  link.EnableWindow(FALSE);
  EXPECT_EQ(link.CurrentTextColour(), GetSysColor(COLOR_BTNSHADOW));
  LOGFONTA lf{};
  GetObjectA(link.Font(), sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfHeight, 14);
}

TEST_F(Host, ControlsFreeTheirGdiObjects) {
  std::vector<HGDIOBJ> made;
  for (int i = 0; i < 25; ++i) {
    exmfc::CSkinComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 220, 44}, parent_, 9));
    for (int k = 0; k < 7; ++k) combo.AddItem("x");
    combo.ToggleDropDown();
    combo.ToggleDropDown();
    made.push_back(combo.Popup().ScrollBar().WindowImage());
    CountingLink link;
    ASSERT_TRUE(link.Create("l", WS_CHILD | WS_VISIBLE, RECT{20, 100, 120, 115}, parent_, 3));
    UpdateWindow(link);
    made.push_back(link.Font());
  }
  for (HGDIOBJ h : made) {
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetObjectType(h), 0u);
  }
}

}  // namespace
