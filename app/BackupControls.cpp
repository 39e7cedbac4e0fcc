#include "app/BackupControls.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/AppFonts.h"
#include "app/PanelLook.h"
#include "backup/BackupManager.h"
#include "backup/RegFileExport.h"
#include "backup/SnapshotCodec.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

// The scroll bars load their pieces from consecutive ids in Piece order.
using Bar = exmfc::CScrollBarEx;
static_assert(IDB_SCROLL_UP_PRESSED == IDB_SCROLL_UP + Bar::kUpPressed &&
                  IDB_SCROLL_UP_DISABLED == IDB_SCROLL_UP + Bar::kUpDisabled &&
                  IDB_SCROLL_DOWN == IDB_SCROLL_UP + Bar::kDown &&
                  IDB_SCROLL_DOWN_PRESSED == IDB_SCROLL_UP + Bar::kDownPressed &&
                  IDB_SCROLL_DOWN_DISABLED == IDB_SCROLL_UP + Bar::kDownDisabled &&
                  IDB_SCROLL_TRACK == IDB_SCROLL_UP + Bar::kTrack &&
                  IDB_SCROLL_TRACK_DISABLED == IDB_SCROLL_UP + Bar::kTrackDisabled &&
                  IDB_SCROLL_THUMB == IDB_SCROLL_UP + Bar::kThumb,
              "scroll bar bitmaps out of order");

const RECT kSessionLabelRect = {2, 53, 378, 70};
const RECT kSessionBoxRect = {2, 75, 378, 97};
const RECT kActionsLabelRect = {2, 113, 378, 130};
const RECT kFrameRect = {2, 130, 378, 267};
const RECT kExportRect = {41, 272, 141, 296};
const RECT kSelectAllRect = {161, 272, 261, 296};
const RECT kRestoreRect = {281, 272, 381, 296};
constexpr int kListInset = 3;
// Failures named one by one in the box; the rest are counted.
constexpr size_t kFailuresNamed = 8;

// Why Restore answered 0: either the record cannot be parsed (nothing was
// written) or the registry refused a key or value along the way.
std::string RestoreFailureReason(RegCheck::IRegistryOperation& operation) {
  const RegCheck::Bytes snapshot = operation.GetSnapshot();
  RegCheck::Snapshot parsed;
  if (!RegCheck::DecodeSnapshot(snapshot.data(), snapshot.size(), parsed))
    return "its backup record is damaged";
  return "the registry refused to write " + parsed.path;
}

}  // namespace

CBackupControls::CBackupControls()
    : sessionIcon_(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(IDI_SESSION), IMAGE_ICON, 16,
                                                 16, 0))) {}

bool CBackupControls::Create(HWND parent) {
  using exmfc::Scale;
  parent_ = parent;
  if (!sessionLabel_.Create("Select session:", WS_CHILD, Scale(kSessionLabelRect), parent))
    return false;
  sessionLabel_.SetFont(GetAppFont(AppFont::kLabel));
  if (!actionsLabel_.Create("Select action(s) for restore operation:", WS_CHILD,
                            Scale(kActionsLabelRect), parent))
    return false;
  actionsLabel_.SetFont(GetAppFont(AppFont::kLabel));

  if (!frame_.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD, Scale(kFrameRect), parent,
                     IDC_STATIC_NONE))
    return false;
  frame_.SetShapeStyle(ListFrameStyle());
  RECT inner = frame_.GetClientRect();
  InflateRect(&inner, -Scale(kListInset), -Scale(kListInset));
  RECT bar = {inner.right - Scale(exmfc::CScrollBarEx::kArrow), inner.top, inner.right,
              inner.bottom};
  RECT listRect = {inner.left, inner.top, bar.left, inner.bottom};
  if (!list_.Create(listRect, frame_, 0)) return false;
  if (!scrollBar_.Create(WS_CHILD, bar, frame_, 0, IDB_SCROLL_UP)) return false;
  scrollBar_.Bind(list_.GetHwnd());
  list_.SetScrollBar(&scrollBar_);

  if (!sessionBox_.Create(WS_CHILD | WS_TABSTOP, Scale(kSessionBoxRect), parent, 0, IDB_COMBO_ARROW,
                          IDB_SCROLL_UP))
    return false;
  sessionBox_.SetIcon(sessionIcon_);
  sessionBox_.SetTextFont(GetAppFont(AppFont::kList));
  sessionBox_.SetCallback(this);

  if (!MakeSkinButton(selectAll_, "Select All", kSelectAllRect, parent, IDC_RESTORE_SELECTALL))
    return false;
  if (!MakeSkinButton(restore_, "Restore", kRestoreRect, parent, IDC_RESTORE)) return false;
  if (!MakeSkinButton(export_, "Export...", kExportRect, parent, IDC_RESTORE_EXPORT)) return false;

  AddControl(&sessionLabel_);
  AddControl(&actionsLabel_);
  AddControl(&frame_);
  AddControl(&list_);
  AddControl(&scrollBar_);
  AddControl(&sessionBox_);
  AddControl(&restore_);
  AddControl(&selectAll_);
  AddControl(&export_);
  FillSessionBox();
  FillActionList();
  return true;
}

BOOL CBackupControls::OnShow() {
  FillSessionBox();
  FillActionList();
  return TRUE;
}

void CBackupControls::OnSkinComboSelChange(exmfc::CSkinComboBox*) { FillActionList(); }

bool CBackupControls::OnCommand(UINT id) {
  if (id == IDC_RESTORE) {
    RestoreTicked();
    return true;
  }
  if (id == IDC_RESTORE_SELECTALL) {
    SelectAll();
    return true;
  }
  if (id == IDC_RESTORE_EXPORT) {
    ExportSession();
    return true;
  }
  return false;
}

std::string CBackupControls::FormatSessionTime(int64_t time) {
  const __time64_t t = time;
  struct tm local;
  if (_localtime64_s(&local, &t) != 0) return "";
  char text[128];
  if (strftime(text, sizeof text, "%d %b %Y, %H:%M", &local) == 0) return "";
  return text;
}

void CBackupControls::FillSessionBox() {
  sessionBox_.ResetContent();
  sessions_.clear();
  RegCheck::CBackupManager& manager = RegCheck::GetBackupManager();
  char text[192];
  snprintf(text, sizeof text, "Current Session (%s)",
           FormatSessionTime(manager.GetCurrentSession().GetTime()).c_str());
  if (sessionBox_.AddItem(text, sessionIcon_) >= 0) sessions_.push_back(&manager.GetCurrentSession());
  for (RegCheck::CBackupSession* session : manager.GetSessions()) {
    snprintf(text, sizeof text, "Session from %s", FormatSessionTime(session->GetTime()).c_str());
    if (sessionBox_.AddItem(text, sessionIcon_) >= 0) sessions_.push_back(session);
  }
  sessionBox_.SetCurSel(0);
}

RegCheck::CBackupSession* CBackupControls::GetSession(int index) const {
  if (index < 0 || index >= static_cast<int>(sessions_.size())) return nullptr;
  return sessions_[static_cast<size_t>(index)];
}

void CBackupControls::FillActionList() {
  list_.RemoveAll();
  ++fills_;
  RegCheck::CBackupSession* session = GetSession(sessionBox_.GetCurSel());
  if (!session) return;
  for (RegCheck::IRegistryOperation* operation : *session) list_.AddOperation(operation);
  // The keyboard starts on the first row.
  if (list_.GetCount() > 0) list_.SetCurSel(0);
}

void CBackupControls::RestoreTicked() {
  const int n = list_.TickedCount();
  if (n == 0) {
    MessageBoxA(nullptr, "You must select at least one backup action!", "Error", MB_ICONHAND);
    return;
  }
  char question[128];
  snprintf(question, sizeof question, "The %d operation(s) will be restored.\nAre you sure?", n);
  const unsigned fills = fills_;
  if (MessageBoxA(nullptr, question, "Confirm", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (fills != fills_) return;
  std::vector<RegCheck::IRegistryOperation*> failed;
  std::string failures;
  for (int i = 0; i < list_.GetCount(); ++i) {
    CBackupActionsListBox::Row* row = list_.GetRow(i);
    if (!row || !row->ticked || !row->operation) continue;
    if (row->operation->Restore()) {
      // Leaves its session, which becomes dirty: at exit the session's
      // file is rewritten without it, or deleted when nothing is left.
      delete row->operation;
      row->operation = nullptr;
    } else {
      if (failed.size() < kFailuresNamed)
        failures += "\n" + row->operation->GetDescription() + ": " +
                    RestoreFailureReason(*row->operation);
      failed.push_back(row->operation);
    }
  }
  FillActionList();
  if (failed.empty()) return;
  // The failed rows stay ticked, so a second attempt needs no new choice.
  for (int i = 0; i < list_.GetCount(); ++i) {
    CBackupActionsListBox::Row* row = list_.GetRow(i);
    if (row && std::find(failed.begin(), failed.end(), row->operation) != failed.end())
      list_.SetTicked(i, 1);
  }
  char head[128];
  snprintf(head, sizeof head, "%d of %d operation(s) could not be restored; they stay in the backup.\n",
           static_cast<int>(failed.size()), n);
  std::string text = head + failures;
  if (failed.size() > kFailuresNamed)
    text += "\n... and " + std::to_string(failed.size() - kFailuresNamed) + " more.";
  MessageBoxA(nullptr, text.c_str(), "Varnholt", MB_OK | MB_ICONERROR);
}

void CBackupControls::ExportSession() {
  HWND owner = GetAncestor(parent_, GA_ROOT);
  RegCheck::CBackupSession* session = GetSession(sessionBox_.GetCurSel());
  if (!session || session->Count() == 0) {
    MessageBoxA(owner, "The chosen session holds no operations to export.", "Export",
                MB_ICONINFORMATION);
    return;
  }
  char path[MAX_PATH] = "Varnholt backup.reg";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = "Registry files (*.reg)\0*.reg\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = "Export backup as .reg file";
  dialog.lpstrDefExt = "reg";
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return;
  std::string error;
  if (!RegCheck::ExportRegFile(*session, path, error)) {
    MessageBoxA(owner, ("The backup could not be exported: " + error + ".").c_str(), "Export",
                MB_ICONHAND);
    return;
  }
  char text[MAX_PATH + 128];
  snprintf(text, sizeof text,
           "%d operation(s) were written to\n%s\nImport the file with regedit to put them back.",
           session->Count(), path);
  MessageBoxA(owner, text, "Export", MB_ICONINFORMATION);
}
