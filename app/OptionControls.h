#pragma once
// The options panel: three check boxes bound to the user's options, saved
// the moment one is clicked, "Schedule..." for the background scan, and the
// errors on the ignore list with "Remove" to have one reported again.

#include <windows.h>

#include <vector>

#include "exmfc/ControlsHolder.h"
#include "exmfc/SkinButton.h"
#include "engine/IgnoreList.h"
#include "framework/Controls.h"

class COptionControls : public exmfc::CControlsHolder {
 public:
  // Builds the controls as hidden children of `parent` (the work area);
  // each box starts ticked when its option is not 0.
  bool Create(HWND parent);

  // Answers a command of the panel: a box (134-136) stores its state in its
  // option and saves all three options; "Schedule..." (187) runs the
  // scheduler dialog modally over `owner`; "Remove" (1019) takes the
  // chosen ignored error off the list. False for any other command.
  bool OnCommand(UINT id, HWND owner);

  // Lists the stored ignore list afresh (also each time the panel shows,
  // since the details dialog and the console program add to it).
  void FillIgnoredList();
  // Removes the entry chosen in the list, or says that none is chosen.
  void RemoveChosenIgnored(HWND owner);

  // The box of command `id` (134-136); null for any other id.
  fw::CButton* GetCheckBox(UINT id);
  exmfc::CSkinButton& GetScheduleButton() { return schedule_; }
  fw::CListBox& GetIgnoredList() { return ignoredList_; }
  exmfc::CSkinButton& GetRemoveIgnoredButton() { return removeIgnored_; }

 protected:
  BOOL OnShow() override;

 private:
  void StoreCheckBox(UINT id);

  fw::CButton splash_;
  fw::CButton sound_;
  fw::CButton promptFix_;
  exmfc::CSkinButton schedule_;
  fw::CStatic ignoredLabel_;
  fw::CListBox ignoredList_;
  exmfc::CSkinButton removeIgnored_;
  // The entries behind the list's lines, by line.
  std::vector<RegCheck::IgnoreEntry> ignored_;
};
