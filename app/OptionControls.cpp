#include "app/OptionControls.h"

#include <string>

#include "app/AppFonts.h"
#include "app/AppOptions.h"
#include "app/PanelLook.h"
#include "app/SchedulerDlg.h"
#include "engine/ScanCategories.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

bool MakeCheckBox(fw::CButton& box, const char* text, const RECT& rect, HWND parent, UINT id,
                  int on) {
  if (!box.Create(text, WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, exmfc::Scale(rect), parent, id))
    return false;
  box.SetFont(GetAppFont(AppFont::kLabel));
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

  if (!ignoredLabel_.Create("Errors that scans ignore:", WS_CHILD | SS_NOPREFIX,
                            exmfc::Scale(RECT{2, 154, 378, 169}), parent))
    return false;
  ignoredLabel_.SetFont(GetAppFont(AppFont::kLabel));
  if (!ignoredList_.Create(WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_BORDER |
                               LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                           exmfc::Scale(RECT{2, 170, 378, 206}), parent, IDC_OPT_IGNORED_LIST))
    return false;
  ignoredList_.SetFont(GetAppFont(AppFont::kLabel));
  if (!MakeSkinButton(removeIgnored_, "Remove", RECT{278, 210, 378, 234}, parent,
                      IDC_OPT_IGNORED_REMOVE, WS_TABSTOP))
    return false;

  AddControl(&splash_);
  AddControl(&sound_);
  AddControl(&promptFix_);
  AddControl(&schedule_);
  AddControl(&ignoredLabel_);
  AddControl(&ignoredList_);
  AddControl(&removeIgnored_);
  FillIgnoredList();
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
  if (id == IDC_OPT_IGNORED_REMOVE) {
    RemoveChosenIgnored(owner);
    return true;
  }
  if (id == IDC_OPT_SCHEDULE) {
    CSchedulerDlg dialog;
    dialog.DoModal(owner);
    return true;
  }
  return false;
}

BOOL COptionControls::OnShow() {
  FillIgnoredList();
  return TRUE;
}

void COptionControls::FillIgnoredList() {
  ignoredList_.ResetContent();
  ignoredList_.SetHorizontalExtent(0);
  ignored_ = RegCheck::ReadIgnoreList();
  for (const RegCheck::IgnoreEntry& entry : ignored_) {
    const RegCheck::ScanCategory* category = RegCheck::FindScanCategory(entry.category);
    std::string line = std::string(category->settingsValue + 3) + ": " + entry.location;
    if (!entry.description.empty()) line += "  (" + entry.description + ")";
    ignoredList_.AddString(line.c_str());
    ignoredList_.FitHorizontalExtent(line.c_str());
  }
}

void COptionControls::RemoveChosenIgnored(HWND owner) {
  const int chosen = ignoredList_.GetCurSel();
  if (chosen < 0 || chosen >= static_cast<int>(ignored_.size())) {
    MessageBoxA(owner, "Choose an ignored error in the list first.", "Remove", MB_ICONINFORMATION);
    return;
  }
  const RegCheck::IgnoreEntry& entry = ignored_[static_cast<size_t>(chosen)];
  const LONG rc = RegCheck::RemoveIgnoreEntry(entry.category, entry.location);
  // Gone already (removed from the console meanwhile) is what was wanted.
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
    MessageBoxA(owner, "The entry could not be removed from the ignore list.", "Remove",
                MB_ICONEXCLAMATION);
    return;
  }
  FillIgnoredList();
}
