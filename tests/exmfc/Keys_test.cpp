// The skinned controls from the keyboard: real key presses (SendInput)
// through the dialog navigation a control parent's loop does.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "exmfc/HyperLink.h"
#include "exmfc/SkinComboBox.h"
#include "framework/Wnd.h"
#include "support/gui/KeyPress.h"
#include "support/gui/MessagePump.h"

namespace {

class CountingLink : public exmfc::CHyperLink {
 public:
  int opened = 0;

 protected:
  void OpenTarget() override { ++opened; }
};

class Recorder : public exmfc::ISkinComboBoxCallback {
 public:
  std::vector<int> calls;
  void OnSkinComboSelChange(exmfc::CSkinComboBox* combo) override {
    calls.push_back(combo->GetCurSel());
  }
};

class SkinKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(WS_EX_CONTROLPARENT, fw::CWnd::RegisterWndClass(0), "p",
                                 WS_POPUP | WS_VISIBLE, RECT{300, 300, 700, 600}, nullptr, 0));
    SetForegroundWindow(parent_);
    ASSERT_TRUE(guitest::PumpUntil([&] { return GetForegroundWindow() == parent_.GetHwnd(); }));
  }
  void TearDown() override { parent_.DestroyWindow(); }

  // Presses `vk` (with Alt held when `alt`) and runs the parent's loop, keys
  // through the dialog navigation, until `done` or two seconds passed.
  bool Press(WORD vk, const std::function<bool()>& done, bool alt = false) {
    guitest::PressKey(vk, alt ? VK_MENU : 0);
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 2000) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(parent_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      Sleep(10);
    }
    // Let the key-up and whatever it caused arrive too.
    guitest::PumpFor(50);
    return done();
  }

  fw::CWnd parent_;
};

TEST_F(SkinKeysTest, FocusedLinkOpensOnSpaceAndEnterFromRealKeys) {
  CountingLink link;
  ASSERT_TRUE(link.Create("site", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{20, 100, 120, 115},
                          parent_, 1006));
  link.SetTarget("http://example.invalid/");
  ::SetFocus(link);
  // Keys go through the dialog navigation, where Enter would otherwise be
  // the default button's.
  EXPECT_TRUE(Press(VK_SPACE, [&] { return link.opened == 1; }));
  EXPECT_TRUE(Press(VK_RETURN, [&] { return link.opened == 2; }));
  link.SetOpenOnClick(false);
  EXPECT_FALSE(Press(VK_SPACE, [&] { return link.opened == 3; }))
      << "a link that does not open on a click opened on a key";
}

TEST_F(SkinKeysTest, DropDownOpensFromKeysAndGivesTheFocusBack) {
  exmfc::CSkinComboBox combo;
  Recorder rec;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{20, 20, 220, 44}, parent_, 9));
  combo.SetCallback(&rec);
  for (const char* item : {"first", "second", "third"}) combo.AddItem(item);
  combo.SetCurSel(0);
  ::SetFocus(combo.GetHwnd());
  fw::CListBox& list = combo.Popup().List();
  auto open = [&] { return combo.Popup().IsOpen() && GetFocus() == list.GetHwnd(); };
  auto closed = [&] { return !combo.Popup().IsOpen() && GetFocus() == combo.GetHwnd(); };

  ASSERT_TRUE(Press(VK_F4, open)) << "F4 opens the list with the focus in it";
  EXPECT_EQ(0, list.GetCurSel());
  EXPECT_TRUE(Press(VK_DOWN, [&] { return list.GetCurSel() == 1; }));
  EXPECT_TRUE(rec.calls.empty()) << "moving in the open list takes nothing yet";
  ASSERT_TRUE(Press(VK_RETURN, closed)) << "Enter closes and the box has the focus again";
  EXPECT_EQ(1, combo.GetCurSel());
  EXPECT_EQ(std::vector<int>{1}, rec.calls);

  ASSERT_TRUE(Press(VK_DOWN, open, true)) << "Alt+Down opens it";
  EXPECT_TRUE(Press(VK_DOWN, [&] { return list.GetCurSel() == 2; }));
  ASSERT_TRUE(Press(VK_ESCAPE, closed));
  EXPECT_EQ(1, combo.GetCurSel()) << "Esc keeps the selection";
  EXPECT_EQ(std::vector<int>{1}, rec.calls);

  ASSERT_TRUE(Press(VK_DOWN, open, true));
  EXPECT_TRUE(Press(VK_DOWN, [&] { return list.GetCurSel() == 2; }));
  ASSERT_TRUE(Press(VK_UP, closed, true)) << "Alt+Up closes it, taking the row";
  EXPECT_EQ(2, combo.GetCurSel());
  EXPECT_EQ((std::vector<int>{1, 2}), rec.calls);

  EXPECT_TRUE(Press(VK_UP, [&] { return combo.GetCurSel() == 1; }))
      << "the arrows go on working in the box";
}

}  // namespace
