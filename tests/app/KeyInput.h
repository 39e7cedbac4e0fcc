#pragma once
// Real key input for the program's windows. Helpers for driving a
// modal dialog or a message box from a second thread while the test's
// thread runs its loop, and for reading back what that thread shows.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "support/gui/KeyPress.h"

namespace keytest {

// Presses and releases `vk`, with Shift held when `shift`.
inline void SendKey(WORD vk, bool shift = false) { guitest::PressKey(vk, shift ? VK_SHIFT : 0); }

// Presses `vk` on each of `count` boxes titled `caption` in turn, once the
// box is the foreground window, as a user at the keyboard would.
class KeyAnswerer {
 public:
  KeyAnswerer(WORD vk, int count, const char* caption = "Varnholt")
      : thread_([this, vk, count, caption] {
          const DWORD start = GetTickCount();
          while (answered_ < count && GetTickCount() - start < 60000) {
            HWND box = apptest::FindOwnDialog(caption, IDYES);
            if (!box) box = apptest::FindOwnDialog(caption, IDOK);
            if (box && GetForegroundWindow() == box) {
              texts_.push_back(apptest::BoxText(box));
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

// Polls `done` from a helper thread for up to `ms` milliseconds.
inline bool WaitFor(const std::function<bool()>& done, DWORD ms = 3000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

// The keyboard focus of the thread that owns `window` (from any thread).
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

inline int CurSel(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

// The colour the screen shows a little inside the right end of row `row`,
// where no icon or text is drawn.
inline COLORREF RowColour(HWND list, int row) {
  RECT item{};
  SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  HDC dc = GetDC(list);
  const COLORREF colour = GetPixel(dc, item.right - 6, (item.top + item.bottom) / 2);
  ReleaseDC(list, dc);
  return colour;
}

// Drives a modal dialog from a helper thread while the test's thread runs
// it: once a dialog of this process with child `childId` is the foreground
// window, `body` sends keys to it and notes what went wrong in `problems`.
class ModalKeys {
 public:
  using Body = std::function<void(HWND, std::vector<std::string>&)>;
  ModalKeys(int childId, Body body)
      : thread_([this, childId, body] {
          HWND dialog = nullptr;
          if (!WaitFor([&] { return (dialog = apptest::FindOwnDialog(nullptr, childId)) != nullptr &&
                                    GetForegroundWindow() == dialog; },
                       15000)) {
            problems_.push_back("the dialog never came to the foreground");
          } else {
            body(dialog, problems_);
            if (!WaitFor([&] { return !IsWindow(dialog); }))
              problems_.push_back("the dialog stayed open");
          }
          done_ = true;
        }) {}
  ~ModalKeys() {
    if (thread_.joinable()) thread_.join();
  }
  bool Done() const { return done_; }
  // Every problem noted, one per line (empty when all went well).
  std::string Problems() {
    if (thread_.joinable()) thread_.join();
    std::string all;
    for (const std::string& p : problems_) all += p + "\n";
    return all;
  }

 private:
  std::vector<std::string> problems_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Notes `what` as a problem unless `ok`.
inline void Expect(bool ok, const char* what, std::vector<std::string>& problems) {
  if (!ok) problems.push_back(what);
}

}  // namespace keytest
