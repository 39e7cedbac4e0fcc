// The scan panel from the keyboard alone: real key presses (SendInput) go
// through the program's own message handling, as a user's would.

#include "AppFixture.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "engine/ScanCategories.h"
#include "framework/WinApp.h"

using namespace apptest;
using namespace RegCheck;

namespace {

void SendKey(WORD vk, bool shift = false) {
  std::vector<INPUT> in;
  auto add = [&](WORD key, DWORD flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = flags;
    in.push_back(i);
  };
  if (shift) add(VK_SHIFT, 0);
  add(vk, 0);
  add(vk, KEYEVENTF_KEYUP);
  if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// Presses `vk` on each of `count` "Varnholt" boxes in turn, once the box is
// the foreground window, as a user at the keyboard would.
class KeyAnswerer {
 public:
  KeyAnswerer(WORD vk, int count)
      : thread_([this, vk, count] {
          const DWORD start = GetTickCount();
          while (answered_ < count && GetTickCount() - start < 60000) {
            HWND box = FindOwnDialog("Varnholt", IDYES);
            if (!box) box = FindOwnDialog("Varnholt", IDOK);
            if (box && GetForegroundWindow() == box) {
              texts_.push_back(BoxText(box));
              SendKey(vk);
              while (IsWindow(box) && GetTickCount() - start < 60000) Sleep(10);
              ++answered_;
            }
            Sleep(10);
          }
        }) {}
  ~KeyAnswerer() { Wait(); }
  int Wait() {
    if (thread_.joinable()) thread_.join();
    return answered_;
  }
  std::vector<std::string> texts_;

 private:
  std::atomic<int> answered_{0};
  std::thread thread_;
};

class KeyboardTest : public AppTest {
 protected:
  void StartActive() {
    SetOption("UseSound", 0);
    Start();
    ASSERT_NO_FATAL_FAILURE();
    HWND frame = Frame().GetHwnd();
    Frame().ShowWindow(SW_SHOW);
    SetForegroundWindow(frame);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == frame; }));
    ::SetFocus(GetNextDlgTabItem(frame, nullptr, FALSE));
  }

  // Pumps as the program's loop does (keyboard navigation included) until
  // `done` or the time runs out.
  bool PumpUntil(const std::function<bool()>& done, DWORD ms = 2000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > ms) return false;
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (fw::CWinApp::PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

  // Presses Tab (or Shift+Tab) and waits for the focus to move.
  HWND Tab(bool back = false) {
    HWND before = GetFocus();
    SendKey(VK_TAB, back);
    PumpUntil([&] { return GetFocus() != before; });
    return GetFocus();
  }

  // Tabs until `target` has the focus; false after a whole round without.
  bool TabTo(HWND target) {
    for (int i = 0; i < 60 && GetFocus() != target; ++i) Tab();
    return GetFocus() == target;
  }

  // Presses `vk` and pumps until `done`.
  bool Press(WORD vk, const std::function<bool()>& done) {
    SendKey(vk);
    return PumpUntil(done);
  }
};

TEST_F(KeyboardTest, TabAndShiftTabWalkTheVisibleControlsBothWays) {
  StartActive();
  const HWND first = GetFocus();
  ASSERT_NE(nullptr, first);
  std::vector<HWND> forward{first};
  for (int i = 0; i < 60; ++i) {
    HWND next = Tab();
    if (next == first) break;
    ASSERT_TRUE(std::find(forward.begin(), forward.end(), next) == forward.end())
        << "the focus went round without coming back to the start";
    forward.push_back(next);
  }
  ASSERT_EQ(first, GetFocus()) << "Tab never came back round";
  for (HWND hwnd : forward) {
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsChild(Frame().GetHwnd(), hwnd));
  }
  auto has = [&](HWND hwnd) {
    return std::find(forward.begin(), forward.end(), hwnd) != forward.end();
  };
  EXPECT_TRUE(has(List().GetHwnd()));
  EXPECT_TRUE(has(Panel().GetScanButton()));
  EXPECT_GE(forward.size(), 9u) << "the seven panel buttons, the list and Scan NOW!";
  // Shift+Tab retraces the same ring backwards.
  for (size_t i = forward.size(); i-- > 0;) EXPECT_EQ(forward[i], Tab(true));
}

TEST_F(KeyboardTest, ArrowsAndSpaceTickRowsAndScanAndFixRunFromKeys) {
  PlantMissingSharedDll("k.dll");
  StartActive();
  ASSERT_TRUE(TabTo(List().GetHwnd()));
  ASSERT_TRUE(Press(VK_HOME, [&] { return List().GetFocusRow() == 0; }));
  for (int row = 0; row < CCleanListControl::kRowCount; ++row) {
    const bool want = CCleanListControl::CategoryOfRow(row) == kCatSharedDll;
    if ((List().GetRow(row)->ticked != 0) != want) {
      ASSERT_TRUE(Press(VK_SPACE, [&] { return (List().GetRow(row)->ticked != 0) == want; }))
          << "row " << row;
    }
    if (row + 1 < CCleanListControl::kRowCount) {
      ASSERT_TRUE(Press(VK_DOWN, [&] { return List().GetFocusRow() == row + 1; }));
    }
  }
  EXPECT_EQ(kCatSharedDll, Panel().GetSelectedCategories());
  // Up leaves the last row; End goes back to it.
  ASSERT_TRUE(Press(VK_UP, [&] { return List().GetFocusRow() == 8; }));
  ASSERT_TRUE(Press(VK_END, [&] { return List().GetFocusRow() == 9; }));

  // Space on "Scan NOW!", then Enter answers the fix prompt (Yes is the
  // default) and the outcome.
  ASSERT_TRUE(TabTo(Panel().GetScanButton()));
  KeyAnswerer enter(VK_RETURN, 2);
  SendKey(VK_SPACE);
  PumpUntil([&] { return ReadSetting("regCLS", 0) == 1; }, 30000);
  ASSERT_EQ(2, enter.Wait());
  EXPECT_EQ("1 errors were found. Do you want to fix all these errors now?", enter.texts_[0]);
  EXPECT_EQ("1 of 1 errors were fixed succesfully.", enter.texts_[1]);
  EXPECT_EQ("No Errors", Status(kCatSharedDll));
}

}  // namespace
