#include "app/FixProgressDlg.h"

#include <commctrl.h>

#include <cstdio>

#include "app/AppFonts.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

CFixProgressDlg::CFixProgressDlg()
    : CWindowSkin(IDB_DLG_FIXPROGRESS, static_cast<UINT>(IDD_FIXPROGRESS)) {}

void CFixProgressDlg::InitSkin() {
  regionOn_ = true;
  keyColour_ = RGB(255, 0, 255);
  RECT client = GetClientRect();
  captionRect_ =
      RECT{exmfc::Scale(25), exmfc::Scale(5), client.right - exmfc::Scale(70), exmfc::Scale(33)};
  ctlTextColour_ = RGB(0, 0, 0);
  cursor_ = LoadCursor(nullptr, IDC_ARROW);
}

BOOL CFixProgressDlg::OnInitDialog() {
  CWindowSkin::OnInitDialog();
  ::SendDlgItemMessageA(GetHwnd(), IDC_FIX_TEXT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(GetAppFont(AppFont::kTitle).Get()), FALSE);
  ::SendDlgItemMessageA(GetHwnd(), IDC_FIX_REMAINING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(GetAppFont(AppFont::kTitle).Get()), FALSE);
  CenterWindow();
  return TRUE;
}

void CFixProgressDlg::ShowRemaining() {
  char text[16];
  snprintf(text, sizeof text, "%d", remaining_);
  SetDlgItemTextA(GetHwnd(), IDC_FIX_REMAINING, text);
}

void CFixProgressDlg::SetTotal(int total) {
  remaining_ = total;
  HWND bar = GetDlgItem(IDC_FIX_BAR);
  ::SendMessageA(bar, PBM_SETRANGE32, 0, total);
  ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
  ShowRemaining();
}

void CFixProgressDlg::Advance(int steps) {
  remaining_ -= steps;
  ShowRemaining();
  ::SendMessageA(GetDlgItem(IDC_FIX_BAR), PBM_DELTAPOS, steps, 0);
  RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
