#include "support/gui/MessageBoxAnswerer.h"

namespace guitest {

namespace {
// The box's text is the longest text of its static children (the icon
// static has none).
BOOL CALLBACK CollectText(HWND child, LPARAM param) {
  char cls[16];
  if (!GetClassNameA(child, cls, sizeof cls) || lstrcmpiA(cls, "Static") != 0) return TRUE;
  char text[1024];
  int n = GetWindowTextA(child, text, sizeof text);
  auto* best = reinterpret_cast<std::string*>(param);
  if (n > 0 && static_cast<size_t>(n) > best->size()) best->assign(text, n);
  return TRUE;
}
struct BoxSearch {
  const char* caption;
  HWND found;
};

// Only boxes of this process count: test programs run side by side, and
// pressing another program's box would answer its question for it.
BOOL CALLBACK FindOwnBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  char cls[16];
  char caption[256];
  if (!GetClassNameA(window, cls, sizeof cls) || lstrcmpA(cls, "#32770") != 0) return TRUE;
  GetWindowTextA(window, caption, sizeof caption);
  if (lstrcmpA(caption, search->caption) != 0) return TRUE;
  search->found = window;
  return FALSE;
}
}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(const char* caption, int button, DWORD timeoutMs)
    : caption_(caption), button_(button), timeoutMs_(timeoutMs) {
  thread_ = std::thread([this] { Run(); });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  if (thread_.joinable()) thread_.join();
}

void MessageBoxAnswerer::Run() {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs_) {
    BoxSearch search{caption_.c_str(), nullptr};
    EnumWindows(&FindOwnBox, reinterpret_cast<LPARAM>(&search));
    HWND box = search.found;
    HWND button = box ? GetDlgItem(box, button_) : nullptr;
    if (button && IsWindowVisible(box)) {
      std::string text;
      EnumChildWindows(box, &CollectText, reinterpret_cast<LPARAM>(&text));
      text_ = text;
      // Sent from this thread, so it waits until the box's own thread has
      // handled the click.
      SendMessageA(button, BM_CLICK, 0, 0);
      answered_ = true;
      return;
    }
    Sleep(10);
  }
}

bool MessageBoxAnswerer::Wait() {
  if (thread_.joinable()) thread_.join();
  return answered_;
}

std::string MessageBoxAnswerer::Text() {
  Wait();
  return text_;
}

}  // namespace guitest
