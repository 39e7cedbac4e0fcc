#pragma once
// Answers a message box the way a user would: a helper thread waits for a
// dialog of class "#32770" of this process with the given caption, records its text and
// presses one of its buttons with BM_CLICK. (WM_CLOSE would not do: every
// message box answers it with IDCANCEL.)

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace guitest {

class MessageBoxAnswerer {
 public:
  // Starts watching at once; `button` is the id to press (IDOK, IDYES = 6,
  // IDNO = 7, ...). Gives up after `timeoutMs`.
  MessageBoxAnswerer(const char* caption, int button, DWORD timeoutMs = 5000);
  // Waits for the helper thread.
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  // Waits for the helper to finish; true when it pressed the button.
  bool Wait();
  // The message text of the box that was answered (empty before).
  std::string Text();

 private:
  void Run();

  std::string caption_;
  int button_;
  DWORD timeoutMs_;
  std::atomic<bool> answered_{false};
  std::string text_;
  std::thread thread_;
};

}  // namespace guitest
