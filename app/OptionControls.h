#pragma once
// The options panel: three check boxes bound to the user's options, saved
// the moment one is clicked, and "Schedule..." for the background scan.

#include <windows.h>

#include "exmfc/ControlsHolder.h"
#include "exmfc/SkinButton.h"
#include "framework/Controls.h"

class COptionControls : public exmfc::CControlsHolder {
 public:
  // Builds the controls as hidden children of `parent` (the work area);
  // each box starts ticked when its option is not 0.
  bool Create(HWND parent);

  // Answers a command of the panel: a box (134-136) stores its state in its
  // option and saves all three options; "Schedule..." (187) runs the
  // scheduler dialog modally over `owner`. False for any other command.
  bool OnCommand(UINT id, HWND owner);

  // The box of command `id` (134-136); null for any other id.
  fw::CButton* GetCheckBox(UINT id);
  exmfc::CSkinButton& GetScheduleButton() { return schedule_; }

 private:
  void StoreCheckBox(UINT id);

  fw::CButton splash_;
  fw::CButton sound_;
  fw::CButton promptFix_;
  exmfc::CSkinButton schedule_;
};
