#include "app/SplashDlg.h"

#include "exmfc/DpiScale.h"
#include "res/resource.h"

CSplashDlg::CSplashDlg() : CWindowSkin(IDB_SPLASH, static_cast<UINT>(IDD_SPLASH)) {}

void CSplashDlg::InitSkin() {
  regionOn_ = true;
  keyColour_ = RGB(255, 0, 255);
  cursor_ = LoadCursor(nullptr, IDC_ARROW);
}

BOOL CSplashDlg::OnInitDialog() {
  CWindowSkin::OnInitDialog();
  SetWindowPos(GetHwnd(), nullptr, 0, 0, exmfc::Scale(kWidth), exmfc::Scale(kHeight),
               SWP_NOMOVE | SWP_NOZORDER);
  CenterWindow();
  HWND self = GetHwnd();
  sleeper_.Start([this, self] {
    Sleep(kShowMs);
    done_ = true;
    ::PostMessageA(self, WM_TIMER, 1, 0);
  });
  return TRUE;
}

LRESULT CSplashDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == 1 && done_) {
    EndDialog(1);
    return 0;
  }
  return CWindowSkin::WindowProc(msg, wParam, lParam);
}
