// The link from the keyboard: real key presses (SendInput) through the
// dialog navigation a control parent's loop does.

#include <windows.h>

#include <gtest/gtest.h>

#include "exmfc/HyperLink.h"
#include "framework/Wnd.h"
#include "support/gui/MessagePump.h"

namespace {

class CountingLink : public exmfc::CHyperLink {
 public:
  int opened = 0;

 protected:
  void OpenTarget() override { ++opened; }
};

class HyperLinkKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(WS_EX_CONTROLPARENT, fw::CWnd::RegisterWndClass(0), "p",
                                 WS_POPUP | WS_VISIBLE, RECT{300, 300, 700, 600}, nullptr, 0));
  }
  void TearDown() override { parent_.DestroyWindow(); }
  fw::CWnd parent_;
};

TEST_F(HyperLinkKeysTest, FocusedLinkOpensOnSpaceAndEnterFromRealKeys) {
  CountingLink link;
  ASSERT_TRUE(link.Create("site", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{20, 100, 120, 115},
                          parent_, 1006));
  link.SetTarget("http://example.invalid/");
  SetForegroundWindow(parent_);
  ASSERT_TRUE(guitest::PumpUntil([&] { return GetForegroundWindow() == parent_.GetHwnd(); }));
  ::SetFocus(link);
  // Keys go through the dialog navigation, where Enter would otherwise be
  // the default button's.
  auto press = [&](WORD vk, int want) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    const DWORD start = GetTickCount();
    while (link.opened != want && GetTickCount() - start < 2000) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(parent_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      Sleep(10);
    }
    return link.opened;
  };
  EXPECT_EQ(1, press(VK_SPACE, 1));
  EXPECT_EQ(2, press(VK_RETURN, 2));
  link.SetOpenOnClick(false);
  EXPECT_EQ(2, press(VK_SPACE, 3)) << "a link that does not open on a click opened on a key";
}

}  // namespace
