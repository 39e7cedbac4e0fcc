#pragma once
// Fixture for the tool and restore panels on their own: the tools' sandbox
// with a backup manager over a temporary folder, and a top-level window at
// a fixed place standing in for the work area. Its button clicks go to the
// command handler the test sets, as the work area routes them.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "support/gui/MessageBoxAnswerer.h"
#include "support/gui/MessagePump.h"
#include "tools/ToolTest.h"

namespace paneltest {

// Message boxes are found by caption across every process of the Wine
// session, and ctest runs test programs side by side: the tests that raise
// the panels' "Confirm" and "Error" boxes hold this lock so that an
// answerer never presses another program's box.
class BoxLock {
 public:
  BoxLock() : mutex_(CreateMutexA(nullptr, FALSE, "VarnholtPanelTestBoxes")) {
    // An owner that crashed leaves the mutex abandoned; it is ours then.
    if (mutex_) owned_ = WaitForSingleObject(mutex_, 120000) != WAIT_TIMEOUT;
  }
  ~BoxLock() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  BoxLock(const BoxLock&) = delete;
  BoxLock& operator=(const BoxLock&) = delete;

 private:
  HANDLE mutex_;
  bool owned_ = false;
};

class PanelHost : public fw::CWnd {
 public:
  bool Create() {
    const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW),
                                       static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    // Clear of the tray window Wine keeps at (0, 0).
    return cls && CreateEx(0, cls, "Panel host", WS_POPUP | WS_VISIBLE, RECT{200, 150, 590, 460},
                           nullptr, 0);
  }
  bool OnCmdMsg(UINT id, UINT code, HWND control) override {
    if (code == BN_CLICKED && onCommand && onCommand(id)) return true;
    return CWnd::OnCmdMsg(id, code, control);
  }
  std::function<bool(UINT)> onCommand;
  // Runs on the window's thread when WM_APP arrives, also while a modal
  // box runs its loop there: what a user does behind an owner-less box.
  std::function<void()> onApp;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_APP && onApp) {
      onApp();
      return 0;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
  }
};

// Every line of a list box, top to bottom.
inline std::vector<std::string> LinesOf(const fw::CListBox& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.GetCount(); ++i) lines.push_back(list.GetText(i));
  return lines;
}

class PanelTest : public toolstest::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    ASSERT_TRUE(host_.Create());
  }
  void TearDown() override {
    host_.DestroyWindow();
    guitest::PumpPending();
    ToolTest::TearDown();
  }

  static std::vector<std::string> Lines(const fw::CListBox& list) { return LinesOf(list); }

  // Presses `button` as a click does and answers the box titled `caption`
  // with `answer`; returns the box's text, or "" when no box came up.
  static std::string PressAndAnswer(HWND button, const char* caption, int answer,
                                    DWORD timeoutMs = 5000) {
    guitest::MessageBoxAnswerer answerer(caption, answer, timeoutMs);
    SendMessageA(button, BM_CLICK, 0, 0);
    return answerer.Wait() ? answerer.Text() : std::string();
  }

  BoxLock lock_;
  PanelHost host_;
};

}  // namespace paneltest
