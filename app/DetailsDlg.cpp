#include "app/DetailsDlg.h"

#include <cstdio>
#include <vector>

#include "app/AppFonts.h"
#include "app/PanelLook.h"
#include "engine/IgnoreList.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {
constexpr int kWidth = 620;
constexpr int kHeight = 317;
}  // namespace

CDetailsDlg::CDetailsDlg(RegCheck::CActionList& results, int mask)
    : CWindowSkin(IDB_DLG_DETAILS, static_cast<UINT>(IDD_DETAILS)), results_(results), mask_(mask) {}

void CDetailsDlg::InitSkin() {
  regionOn_ = true;
  keyColour_ = RGB(255, 0, 255);
  captionRect_ = exmfc::Scale(RECT{25, 5, kWidth - 70, 33});
  ctlTextColour_ = RGB(0, 0, 0);
  cursor_ = LoadCursor(nullptr, IDC_ARROW);
}

BOOL CDetailsDlg::OnInitDialog() {
  CWindowSkin::OnInitDialog();
  using exmfc::Scale;
  SetWindowPos(GetHwnd(), nullptr, 0, 0, Scale(kWidth), Scale(kHeight), SWP_NOMOVE | SWP_NOZORDER);
  label_.Create("Select/Unselect Errors for Repair:", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                Scale(RECT{22, 50, 250, 65}), GetHwnd());
  label_.SetFont(GetAppFont(AppFont::kLabel));
  list_.Create(Scale(RECT{20, 67, kWidth - 20, kHeight - 50}), GetHwnd(), kListId);
  close_.Create("", WS_CHILD | WS_VISIBLE, Scale(RECT{kWidth - 32, 6, kWidth - 10, 27}), GetHwnd(),
                IDCANCEL);
  close_.SetSkin(IDB_CLOSE, SKINSET_NPH, SKINW_CLOSE);
  const int top = kHeight - 41;
  MakeSkinButton(selectAll_, "Select All", RECT{20, top, 120, top + 24}, GetHwnd(), IDC_SELECT_ALL,
                 WS_VISIBLE);
  MakeSkinButton(selectNone_, "Select None", RECT{125, top, 225, top + 24}, GetHwnd(),
                 IDC_SELECT_NONE, WS_VISIBLE);
  MakeSkinButton(ignore_, "Ignore", RECT{230, top, 330, top + 24}, GetHwnd(), IDC_DETAILS_IGNORE,
                 WS_VISIBLE);
  MakeSkinButton(ok_, "OK", RECT{kWidth - 120 - 100, top, kWidth - 120, top + 24}, GetHwnd(), IDOK,
                 WS_VISIBLE);

  FillList();
  CenterWindow();
  return TRUE;
}

bool CDetailsDlg::OnCmdMsg(UINT id, UINT code, HWND control) {
  if (code == BN_CLICKED && (id == IDC_SELECT_ALL || id == IDC_SELECT_NONE)) {
    list_.SelectAll(id == IDC_SELECT_ALL);
    return true;
  }
  if (code == BN_CLICKED && id == IDC_DETAILS_IGNORE) {
    IgnoreTicked();
    return true;
  }
  return CWindowSkin::OnCmdMsg(id, code, control);
}

void CDetailsDlg::FillList() {
  list_.ResetContent();
  for (RegCheck::CRegistryAction* action : results_)
    if (action->GetCategory() & mask_) list_.AddAction(action);
  // The keyboard starts on the first row.
  if (list_.GetCount() > 0) list_.SetCurSel(0);
}

void CDetailsDlg::IgnoreTicked() {
  std::vector<RegCheck::CRegistryAction*> ticked;
  for (int i = 0; i < list_.GetCount(); ++i) {
    RegCheck::CRegistryAction* action = list_.GetAction(i);
    if (action && action->IsSelected()) ticked.push_back(action);
  }
  if (ticked.empty()) {
    MessageBoxA(GetHwnd(), "Tick the errors that later scans should not report.", "Ignore",
                MB_ICONINFORMATION);
    return;
  }
  char text[256];
  snprintf(text, sizeof text,
           "%d error(s) will be put on the ignore list and not reported again.\n"
           "The Options panel lists them and can bring them back.\nContinue?",
           static_cast<int>(ticked.size()));
  if (MessageBoxA(GetHwnd(), text, "Ignore", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  int failed = 0;
  for (RegCheck::CRegistryAction* action : ticked) {
    if (RegCheck::AddIgnoreEntry(RegCheck::IgnoreEntryOf(*action)) != ERROR_SUCCESS) {
      ++failed;
      continue;
    }
    action->Release();
    ++ignored_;
  }
  // The rows pointed at released actions; rebuild before anything repaints.
  FillList();
  if (failed) {
    snprintf(text, sizeof text, "%d error(s) could not be stored on the ignore list and stay listed.",
             failed);
    MessageBoxA(GetHwnd(), text, "Ignore", MB_ICONEXCLAMATION);
  }
}
