#pragma once
// A top-level frame window. When it is the application's main window, its
// destruction ends the message loop.

#include "framework/Wnd.h"

namespace fw {

class CFrameWnd : public CWnd {
 public:
  // Left = CW_USEDEFAULT: let Windows place and size the window.
  static const RECT rectDefault;

  // Creates the frame; a null class name uses a framework class with the
  // arrow cursor and double-click messages.
  bool Create(const char* className, const char* text, DWORD style = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, HWND parent = nullptr, DWORD exStyle = 0);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace fw
