#pragma once
// The program's only top-level window: a fixed-size skinned popup with the
// panel buttons, the title-bar and link buttons, the work area, and the
// tray icon through which the program lives while the window is hidden.

#include <windows.h>

#include <string>

#include "app/TrayIcon.h"
#include "app/WorkArea.h"
#include "exmfc/SkinButton.h"
#include "exmfc/WindowSkin.h"
#include "framework/FrameWnd.h"
#include "framework/GdiObject.h"

class CMainFrame : public exmfc::CWindowSkin<fw::CFrameWnd> {
 public:
  static constexpr int kWidth = 668;
  static constexpr int kHeight = 437;
  static constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
  static constexpr int kButtonCount = 11;

  CMainFrame();

  // The message the tray icon sends ("MyTrayMsg"), registered once.
  static UINT TrayMessage();
  // The message Explorer broadcasts to every top-level window when it has
  // (re)created the taskbar ("TaskbarCreated").
  static UINT TaskbarCreatedMessage();

  // Shows and activates the window; ends the background-scan state.
  void ShowMainWindow();
  // A five-second balloon from the tray icon.
  void ShowBalloon(const std::string& text);
  // Handles the tray icon's notification (`mouseMessage` is its lParam).
  LRESULT OnTrayNotify(UINT mouseMessage);

  CWorkArea& GetWorkArea() { return workArea_; }
  CTrayIcon& GetTrayIcon() { return tray_; }
  // Button `index` in creation order (close, minimise, seven panels, two
  // links).
  exmfc::CSkinButton& GetButton(int index) { return buttons_[index]; }

  bool OnCmdMsg(UINT id, UINT code, HWND control) override;

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  void InitSkin() override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  int OnCreate();
  void Layout();
  void OpenAddress(UINT stringId, const char* verb, const char* parameters, int show);
  // Keeps the focused control of the frame, if any, for WM_SETFOCUS.
  void RememberFocus();

  exmfc::CSkinButton buttons_[kButtonCount];
  CTrayIcon tray_;
  CWorkArea workArea_;
  fw::OwnedIcon largeIcon_;
  fw::OwnedIcon smallIcon_;
  HWND lastFocus_ = nullptr;  // borrowed; checked before each use
};
