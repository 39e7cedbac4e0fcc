#include "app/TrayIcon.h"

#include <atomic>

namespace {

std::atomic<UINT> g_nextId{1};

// Structure sizes of the two layouts the calls use: the full one (balloons)
// and the original one that ends after a 64-byte tooltip. Both hold a window
// and an icon handle, so they differ between 32-bit and 64-bit programs: take
// them from the structure itself.
constexpr DWORD kFullSize = sizeof(NOTIFYICONDATAA);
constexpr DWORD kShortSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || (kFullSize == 508 && kShortSize == 88),
              "32-bit layouts are the shell's 508 and 88 bytes");

}  // namespace

CTrayIcon::CTrayIcon() : id_(g_nextId++) {}

CTrayIcon::~CTrayIcon() { Remove(); }

NOTIFYICONDATAA CTrayIcon::Base(DWORD size) const {
  NOTIFYICONDATAA data{};
  data.cbSize = size;
  data.hWnd = owner_;
  data.uID = id_;
  return data;
}

void CTrayIcon::Create(HWND owner, UINT callbackMessage, bool show) {
  owner_ = owner;
  callbackMessage_ = callbackMessage;
  if (show) Add();
}

bool CTrayIcon::Add() {
  if (shown_) return true;
  NOTIFYICONDATAA data = Base(kFullSize);
  data.uFlags = NIF_MESSAGE | NIF_ICON;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  if (!tooltip_.empty()) {
    data.uFlags |= NIF_TIP;
    lstrcpynA(data.szTip, tooltip_.c_str(), 64);
  }
  shown_ = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
  return shown_;
}

void CTrayIcon::Remove() {
  if (!shown_) return;
  NOTIFYICONDATAA data = Base(kFullSize);
  Shell_NotifyIconA(NIM_DELETE, &data);
  shown_ = false;
}

bool CTrayIcon::Restore() {
  if (!shown_) return false;
  // The new notification area knows nothing of the icon, so NIM_ADD rather
  // than NIM_MODIFY.
  shown_ = false;
  if (Add()) return true;
  // A shell may announce a new taskbar that still holds the icon; NIM_ADD
  // then fails while the icon is there, which a NIM_MODIFY tells.
  NOTIFYICONDATAA data = Base(kFullSize);
  data.uFlags = NIF_MESSAGE;
  data.uCallbackMessage = callbackMessage_;
  shown_ = Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
  return shown_;
}

void CTrayIcon::SetIcon(HICON icon) {
  icon_ = icon;
  if (!shown_) return;
  NOTIFYICONDATAA data = Base(kFullSize);
  data.uFlags = NIF_ICON;
  data.hIcon = icon_;
  Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CTrayIcon::SetTooltip(const std::string& text) {
  tooltip_ = text;
  if (!shown_) return;
  NOTIFYICONDATAA data = Base(kShortSize);
  data.uFlags = NIF_TIP;
  lstrcpynA(data.szTip, tooltip_.c_str(), 64);
  Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CTrayIcon::ShowBalloon(const std::string& title, const std::string& text, int seconds) {
  if (!shown_) return;
  NOTIFYICONDATAA data = Base(kFullSize);
  data.uFlags = NIF_INFO | NIF_TIP;
  data.dwInfoFlags = NIIF_INFO;
  data.uTimeout = static_cast<UINT>(seconds) * 1000;
  lstrcpynA(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle);
  lstrcpynA(data.szInfo, text.c_str(), sizeof data.szInfo);
  lstrcpynA(data.szTip, title.c_str(), sizeof data.szTip);
  Shell_NotifyIconA(NIM_MODIFY, &data);
  balloons_.push_back(text);
}
