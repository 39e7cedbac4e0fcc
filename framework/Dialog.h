#pragma once
// Dialog boxes, modal or modeless, from a resource template or from a
// CDialogTemplate built in code. The dialog's window is bound to the object
// from its creation on, so derived classes see WM_CREATE and WM_SIZE too;
// OnInitDialog runs on WM_INITDIALOG.

#include <windows.h>

#include "framework/Wnd.h"

namespace fw {

class CDialogTemplate;

class CDialog : public CWnd {
 public:
  // A dialog from the template resource `templateId` of the program.
  explicit CDialog(UINT templateId);
  // A dialog from an in-memory template; `tmpl` must outlive the dialog's
  // creation (the dialog manager reads it only while creating).
  explicit CDialog(const CDialogTemplate* tmpl);

  // Runs the dialog modally; returns the EndDialog result, or -1 when the
  // dialog could not be created.
  INT_PTR DoModal(HWND parent);
  // Creates the dialog modeless (visible if the template says WS_VISIBLE).
  bool CreateModeless(HWND parent);
  // Ends a modal dialog with `result`; destroys a modeless one.
  void EndDialog(INT_PTR result);
  bool IsModal() const { return modal_; }

  // OK and Cancel (Enter, Esc, the close box) end the dialog with IDOK and
  // IDCANCEL unless a derived class's OnCmdMsg handled those commands.
  virtual void OnOK();
  virtual void OnCancel();

 protected:
  // Return TRUE to let the dialog manager focus the first tab stop.
  virtual BOOL OnInitDialog();
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  const DLGTEMPLATE* ResolveTemplate() const;

  UINT templateId_ = 0;
  const CDialogTemplate* tmpl_ = nullptr;
  bool modal_ = false;
};

}  // namespace fw
