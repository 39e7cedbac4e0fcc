#pragma once
// The restore panel: pick a backup session (this run's, or one loaded from
// a backup file), tick recorded deletions of it, and write them back into
// the registry with "Restore" (118); "Select All" (184) ticks every row;
// "Export..." (1020) writes the whole chosen session as a .reg file.
// Everything shown comes from the backup manager and is rebuilt on each
// showing, on each session change and after each restore.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/BackupActionsListBox.h"
#include "backup/BackupSession.h"
#include "exmfc/ControlsHolder.h"
#include "exmfc/ScrollBarEx.h"
#include "exmfc/ShapeWnd.h"
#include "exmfc/SkinButton.h"
#include "exmfc/SkinComboBox.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"

class CBackupControls : public exmfc::CControlsHolder, public exmfc::ISkinComboBoxCallback {
 public:
  CBackupControls();

  // Builds the controls as hidden children of `parent` (the work area) and
  // fills the session box and the list.
  bool Create(HWND parent);

  // 118 runs the restore flow, 184 ticks every row, 1020 exports; false for
  // other ids.
  bool OnCommand(UINT id);

  // The current session first, then every loaded session in the backup
  // manager's order; the first entry selected.
  void FillSessionBox();
  // One unticked row per operation of the selected session.
  void FillActionList();
  // Asks about the ticked rows and restores them. An operation whose
  // restore fails stays in its session and its row stays, ticked, and one
  // "Varnholt" box names each failure and its reason.
  void RestoreTicked();
  void SelectAll() { list_.TickAll(); }
  // Asks for a file name and writes the chosen session's operations into
  // it as a .reg file; says how it went.
  void ExportSession();

  // The session of session box entry `index`, or null.
  RegCheck::CBackupSession* GetSession(int index) const;

  // "%d %b %Y, %H:%M" in local time; empty when the time has no local form.
  static std::string FormatSessionTime(int64_t time);

  CBackupActionsListBox& GetList() { return list_; }
  exmfc::CSkinComboBox& GetSessionBox() { return sessionBox_; }
  exmfc::CScrollBarEx& GetScrollBar() { return scrollBar_; }
  exmfc::CSkinButton& GetRestoreButton() { return restore_; }
  exmfc::CSkinButton& GetSelectAllButton() { return selectAll_; }
  exmfc::CSkinButton& GetExportButton() { return export_; }

 protected:
  BOOL OnShow() override;
  void OnSkinComboSelChange(exmfc::CSkinComboBox* combo) override;

 private:
  fw::CStatic sessionLabel_;
  fw::CStatic actionsLabel_;
  exmfc::CShapeWnd frame_;
  CBackupActionsListBox list_;
  exmfc::CScrollBarEx scrollBar_;
  exmfc::CSkinComboBox sessionBox_;
  exmfc::CSkinButton restore_;
  exmfc::CSkinButton selectAll_;
  exmfc::CSkinButton export_;
  HWND parent_ = nullptr;
  fw::OwnedIcon sessionIcon_;
  // Counts the list's refills: a restore confirmed while the list was
  // rebuilt behind the owner-less box does nothing.
  unsigned fills_ = 0;
  // Item data of the session box entries, by entry index.
  std::vector<RegCheck::CBackupSession*> sessions_;
};
