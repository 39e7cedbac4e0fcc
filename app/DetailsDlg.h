#pragma once
// The modal dialog in which the user ticks and unticks the found errors of
// one category, or puts the ticked ones on the ignore list ("Ignore"), which
// takes them out of the results. Changes apply at once; closing never undoes
// them.

#include "app/DetailsListControl.h"
#include "engine/RegistryAction.h"
#include "exmfc/SkinButton.h"
#include "exmfc/WindowSkin.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

class CDetailsDlg : public exmfc::CWindowSkin<fw::CDialog> {
 public:
  static constexpr UINT kListId = 1000;

  // Shows the actions of `results` whose category has a bit in `mask`.
  CDetailsDlg(RegCheck::CActionList& results, int mask);

  CDetailsListControl& GetList() { return list_; }
  // Errors put on the ignore list while the dialog was open.
  int GetIgnoredCount() const { return ignored_; }

 protected:
  void InitSkin() override;
  BOOL OnInitDialog() override;
  bool OnCmdMsg(UINT id, UINT code, HWND control) override;

 private:
  // Asks, stores the ticked rows' errors on the ignore list, releases them
  // from the results and refills the list. An error that cannot be stored
  // stays, and the user is told.
  void IgnoreTicked();
  void FillList();

  RegCheck::CActionList& results_;
  int mask_;
  fw::CStatic label_;
  CDetailsListControl list_;
  exmfc::CSkinButton close_;
  exmfc::CSkinButton ok_;
  exmfc::CSkinButton selectAll_;
  exmfc::CSkinButton selectNone_;
  exmfc::CSkinButton ignore_;
  int ignored_ = 0;
};
