#pragma once
// The modal dialog in which the user ticks and unticks the found errors of
// one category. Changes apply at once; closing never undoes them.

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

 protected:
  void InitSkin() override;
  BOOL OnInitDialog() override;
  bool OnCmdMsg(UINT id, UINT code, HWND control) override;

 private:
  RegCheck::CActionList& results_;
  int mask_;
  fw::CStatic label_;
  CDetailsListControl list_;
  exmfc::CSkinButton close_;
  exmfc::CSkinButton ok_;
  exmfc::CSkinButton selectAll_;
  exmfc::CSkinButton selectNone_;
};
