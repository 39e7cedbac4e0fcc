#include "framework/FrameWnd.h"

#include "framework/WinApp.h"

namespace fw {

const RECT CFrameWnd::rectDefault = {static_cast<LONG>(CW_USEDEFAULT),
                                     static_cast<LONG>(CW_USEDEFAULT), 0, 0};

bool CFrameWnd::Create(const char* className, const char* text, DWORD style, const RECT& rect,
                       HWND parent, DWORD exStyle) {
  if (!className) {
    className = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                 reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (!className) return false;
  }
  return CreateEx(exStyle, className, text, style, rect, parent, 0);
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCDESTROY) {
    CWinApp* app = GetApp();
    if (app && app->GetMainWnd() == this) {
      app->SetMainWnd(nullptr);
      PostQuitMessage(0);
    }
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

}  // namespace fw
