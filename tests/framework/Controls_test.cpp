#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Controls.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, fw::CWnd::RegisterWndClass(0), "p", WS_POPUP,
                                 RECT{100, 100, 500, 400}, nullptr, 0));
  }
  void TearDown() override { parent_.DestroyWindow(); }
  fw::CWnd parent_;
};

TEST_F(ControlsTest, SortedListKeepsItemDataWithItsLine) {
  fw::CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | LBS_SORT | LBS_HASSTRINGS, RECT{0, 0, 200, 100}, parent_, 5));
  const char* names[] = {"pear", "Apple", "melon"};
  for (int i = 0; i < 3; ++i) {
    int at = list.AddString(names[i]);
    ASSERT_GE(at, 0);
    list.SetItemData(at, 100 + i);
  }
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetText(0), "Apple");
  EXPECT_EQ(list.GetItemData(0), 101u);
  EXPECT_EQ(list.GetText(1), "melon");
  EXPECT_EQ(list.GetItemData(1), 102u);
  EXPECT_EQ(list.GetText(2), "pear");
  EXPECT_EQ(list.GetItemData(2), 100u);
  EXPECT_EQ(list.GetText(7), "");
  EXPECT_EQ(list.DeleteString(0), 2);
  EXPECT_EQ(list.GetItemData(0), 102u);
}

TEST_F(ControlsTest, HorizontalExtentOnlyGrows) {
  fw::CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_HSCROLL | LBS_HASSTRINGS, RECT{0, 0, 100, 100}, parent_, 5));
  list.FitHorizontalExtent("a rather long line of text for the list");
  int wide = list.GetHorizontalExtent();
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, list.GetFont() ? (HGDIOBJ)list.GetFont() : GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, "a rather long line of text for the list", 39, &size);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  EXPECT_EQ(wide, size.cx + 3);
  list.FitHorizontalExtent("short");
  EXPECT_EQ(list.GetHorizontalExtent(), wide);
}

TEST_F(ControlsTest, ProgressSteps) {
  fw::CProgressCtrl bar;
  ASSERT_TRUE(bar.Create(WS_CHILD, RECT{0, 0, 100, 20}, parent_, 6));
  bar.SetRange(0, 3);
  bar.SetStep(1);
  bar.StepIt();
  bar.StepIt();
  EXPECT_EQ(bar.GetPos(), 2);
}

TEST_F(ControlsTest, TimePickerKeepsTheTime) {
  fw::CDateTimeCtrl picker;
  ASSERT_TRUE(picker.Create(WS_CHILD | DTS_TIMEFORMAT, RECT{0, 0, 100, 20}, parent_, 7));
  SYSTEMTIME t{};
  GetLocalTime(&t);
  t.wHour = 14;
  t.wMinute = 35;
  t.wSecond = 0;
  t.wMilliseconds = 0;
  ASSERT_TRUE(picker.SetTime(t));
  SYSTEMTIME back{};
  back.wHour = 0xbd;
  ASSERT_EQ(picker.GetTime(back), static_cast<DWORD>(GDT_VALID));
  EXPECT_EQ(back.wHour, 14);
  EXPECT_EQ(back.wMinute, 35);
}

TEST_F(ControlsTest, CheckBoxState) {
  fw::CButton box;
  ASSERT_TRUE(box.Create("x", WS_CHILD | BS_AUTOCHECKBOX, RECT{0, 0, 100, 20}, parent_, 8));
  EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
  box.SetCheck(BST_CHECKED);
  EXPECT_EQ(box.GetCheck(), BST_CHECKED);
}

}  // namespace
