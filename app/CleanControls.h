#pragma once
// The scan panel: the category list, "Scan NOW!" and "Fix Errors", and the
// results of the last scan with their counts per category.

#include <windows.h>

#include "app/AppSettings.h"
#include "app/CleanListControl.h"
#include "engine/RegistryAction.h"
#include "exmfc/ControlsHolder.h"
#include "exmfc/ShapeWnd.h"
#include "exmfc/SkinButton.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"

class CCleanControls : public exmfc::CControlsHolder {
 public:
  CCleanControls();

  // Builds the controls as children of `parent` (the work area), hidden.
  bool Create(HWND parent);

  // OR of the bits of the ticked rows.
  int GetSelectedCategories() const;
  // Destroys the previous results and marks every row not scanned.
  void ClearResults();
  // A row is scanned when its bit is in `mask`.
  void SetScannedCategories(int mask);
  // Recounts the rows and enables "Fix Errors" when an error is selected.
  void RecountRows();
  // Counts of keys 0 and the ten category bits from the result list.
  void FillCategoryCounts();

  RegCheck::CActionList& GetResults() { return list_.GetResults(); }
  CategoryCountMap& GetCategoryCounts() { return counts_; }
  CCleanListControl& GetList() { return list_; }
  exmfc::CSkinButton& GetScanButton() { return scanNow_; }
  exmfc::CSkinButton& GetFixButton() { return fixErrors_; }

 private:
  // Makes the header bitmap for the list's columns and shows it.
  void FitHeader(HWND parent);
  exmfc::CShapeWnd listFrame_;
  fw::CStatic header_;
  exmfc::CSkinButton scanNow_;
  exmfc::CSkinButton fixErrors_;
  CCleanListControl list_;
  CategoryCountMap counts_;
  fw::OwnedBitmap headerBitmap_;
};
