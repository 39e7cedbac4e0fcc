#include "app/OptionControls.h"

#include "app/AppOptions.h"
#include "app/PanelLook.h"
#include "app/SchedulerDlg.h"
#include "exmfc/FontTable.h"
#include "res/resource.h"

namespace {

bool MakeCheckBox(fw::CButton& box, const char* text, const RECT& rect, HWND parent, UINT id,
                  int on) {
  if (!box.Create(text, WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, rect, parent, id)) return false;
  box.SetFont(exmfc::GetFont(6));
  box.SetCheck(on ? BST_CHECKED : BST_UNCHECKED);
  return true;
}

}  // namespace

bool COptionControls::Create(HWND parent) {
  const CAppOptions& options = GetAppOptions();
  if (!MakeCheckBox(splash_, "Show splash screen on software load", RECT{2, 80, 300, 100}, parent,
                    IDC_OPT_SPLASH, options.GetShowSplash()))
    return false;
  if (!MakeCheckBox(sound_, "Play sound on errors found", RECT{2, 105, 300, 125}, parent,
                    IDC_OPT_SOUND, options.GetUseSound()))
    return false;
  if (!MakeCheckBox(promptFix_, "Prompt to fix errors after scan complete", RECT{2, 130, 300, 150},
                    parent, IDC_OPT_PROMPTFIX, options.GetPromptToFix()))
    return false;
  if (!MakeSkinButton(schedule_, "Schedule...", RECT{2, 210, 102, 234}, parent, IDC_OPT_SCHEDULE,
                      WS_TABSTOP))
    return false;

  AddControl(&splash_);
  AddControl(&sound_);
  AddControl(&promptFix_);
  AddControl(&schedule_);
  return true;
}

fw::CButton* COptionControls::GetCheckBox(UINT id) {
  switch (id) {
    case IDC_OPT_SPLASH: return &splash_;
    case IDC_OPT_SOUND: return &sound_;
    case IDC_OPT_PROMPTFIX: return &promptFix_;
    default: return nullptr;
  }
}

void COptionControls::StoreCheckBox(UINT id) {
  CAppOptions& options = GetAppOptions();
  const int on = GetCheckBox(id)->GetCheck() == BST_CHECKED ? 1 : 0;
  switch (id) {
    case IDC_OPT_SPLASH: options.SetShowSplash(on); break;
    case IDC_OPT_SOUND: options.SetUseSound(on); break;
    default: options.SetPromptToFix(on); break;
  }
  options.Save();
}

bool COptionControls::OnCommand(UINT id, HWND owner) {
  if (GetCheckBox(id)) {
    StoreCheckBox(id);
    return true;
  }
  if (id == IDC_OPT_SCHEDULE) {
    CSchedulerDlg dialog;
    dialog.DoModal(owner);
    return true;
  }
  return false;
}
