#include "framework/Dialog.h"

#include "framework/DialogTemplate.h"

namespace fw {

CDialog::CDialog(UINT templateId) : templateId_(templateId) {}
CDialog::CDialog(const CDialogTemplate* tmpl) : tmpl_(tmpl) {}

// The dialog's window procedure is subclassed to CWnd's, which sees every
// message first; the dialog procedure is only what the dialog manager
// needs to exist, and leaves everything to the default handling.
INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

const DLGTEMPLATE* CDialog::ResolveTemplate() const {
  if (tmpl_) return tmpl_->Get();
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(templateId_), reinterpret_cast<LPCSTR>(RT_DIALOG));
  if (!res) return nullptr;
  HGLOBAL data = LoadResource(module, res);
  return data ? static_cast<const DLGTEMPLATE*>(LockResource(data)) : nullptr;
}

INT_PTR CDialog::DoModal(HWND parent) {
  const DLGTEMPLATE* t = ResolveTemplate();
  if (!t || GetHwnd()) return -1;
  modal_ = true;
  INT_PTR result;
  {
    CreationScope scope(this);
    if (!scope.Ok()) return -1;
    result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t, parent, &CDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
  }
  modal_ = false;
  return result;
}

bool CDialog::CreateModeless(HWND parent) {
  const DLGTEMPLATE* t = ResolveTemplate();
  if (!t || GetHwnd()) return false;
  modal_ = false;
  CreationScope scope(this);
  if (!scope.Ok()) return false;
  HWND hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, parent,
                                         &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  return hwnd && hwnd == GetHwnd();
}

void CDialog::EndDialog(INT_PTR result) {
  if (!GetHwnd()) return;
  if (modal_)
    ::EndDialog(GetHwnd(), result);
  else
    DestroyWindow();
}

void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }
BOOL CDialog::OnInitDialog() { return TRUE; }

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND: {
      UINT id = LOWORD(wParam);
      if (OnCmdMsg(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
        if (id == IDOK) {
          OnOK();
          return 0;
        }
        if (id == IDCANCEL) {
          OnCancel();
          return 0;
        }
      }
      return Default();
    }
    default:
      return CWnd::WindowProc(msg, wParam, lParam);
  }
}

}  // namespace fw
