#pragma once
// The program's icon in the notification area, with its tooltip and the
// balloon notices of background scans.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

class CTrayIcon {
 public:
  // Takes the next icon id of the process (the first icon gets 1).
  CTrayIcon();
  // Removes the icon when it is shown.
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // Stores the owner and the callback message; adds the icon when `show`.
  void Create(HWND owner, UINT callbackMessage, bool show);
  // Adds the icon unless it is shown; true when it is shown afterwards.
  bool Add();
  void Remove();
  // Adds the icon again after the notification area was rebuilt (Explorer
  // restarted and forgot every icon), when it was shown before; true when it
  // is shown afterwards.
  bool Restore();
  // The icon stays the caller's; it must live while the tray shows it.
  void SetIcon(HICON icon);
  // Stored in full; the tray gets at most 63 characters.
  void SetTooltip(const std::string& text);
  // Balloon with the application name as title; does nothing when the icon
  // is not shown. Texts longer than the tray takes are cut.
  void ShowBalloon(const std::string& title, const std::string& text, int seconds);

  UINT GetId() const { return id_; }
  bool IsShown() const { return shown_; }
  UINT GetCallbackMessage() const { return callbackMessage_; }
  const std::string& GetTooltip() const { return tooltip_; }
  // Texts of the balloons shown, oldest first.
  const std::vector<std::string>& GetBalloonHistory() const { return balloons_; }

 private:
  NOTIFYICONDATAA Base(DWORD size) const;

  UINT id_;
  bool shown_ = false;
  UINT callbackMessage_ = 0;
  HWND owner_ = nullptr;
  std::string tooltip_;
  HICON icon_ = nullptr;
  std::vector<std::string> balloons_;
};
