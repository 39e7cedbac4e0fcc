#include "app/CleanControls.h"

#include "app/PanelLook.h"
#include "engine/ScanCategories.h"
#include "res/resource.h"

namespace {

constexpr UINT kCategoryListId = 1000;

}  // namespace

CCleanControls::CCleanControls()
    : headerBitmap_(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LIST_HEADER))) {
  FillCategoryCounts();
}

bool CCleanControls::Create(HWND parent) {
  const exmfc::ShapeStyle frame = ListFrameStyle();
  // The header bitmap carries the column titles ("Registry area",
  // "Status"), so no separate label or frames are laid over the list.
  if (!header_.Create("", WS_CHILD | SS_BITMAP, RECT{2, 40, 381, 67}, parent)) return false;
  header_.SetBitmap(headerBitmap_);
  if (!listFrame_.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD, RECT{2, 67, 381, 278}, parent,
                         IDC_STATIC_NONE))
    return false;
  listFrame_.SetShapeStyle(frame);
  RECT inner = listFrame_.GetClientRect();
  inner.left += 1;
  inner.right -= 1;
  inner.bottom -= 1;
  if (!list_.Create(inner, listFrame_, kCategoryListId)) return false;
  if (!MakeSkinButton(scanNow_, "Scan NOW!", RECT{176, 284, 276, 308}, parent, IDC_SCAN_NOW))
    return false;
  if (!MakeSkinButton(fixErrors_, "Fix Errors", RECT{281, 284, 381, 308}, parent, IDC_FIX_ERRORS))
    return false;
  fixErrors_.EnableWindow(FALSE);

  AddControl(&header_);
  AddControl(&listFrame_);
  AddControl(&scanNow_);
  AddControl(&fixErrors_);
  return true;
}

int CCleanControls::GetSelectedCategories() const {
  int mask = 0;
  for (int i = 0; i < CCleanListControl::kRowCount; ++i) {
    const CCleanListControl::Row* row = list_.GetRow(i);
    if (row && row->ticked) mask |= CCleanListControl::CategoryOfRow(i);
  }
  return mask;
}

void CCleanControls::ClearResults() {
  GetResults().Clear();
  for (int i = 0; i < CCleanListControl::kRowCount; ++i)
    if (CCleanListControl::Row* row = list_.GetRow(i)) row->scanned = 0;
}

void CCleanControls::SetScannedCategories(int mask) {
  for (int i = 0; i < CCleanListControl::kRowCount; ++i) {
    CCleanListControl::Row* row = list_.GetRow(i);
    if (!row) continue;
    int scanned = (mask & CCleanListControl::CategoryOfRow(i)) != 0;
    if (row->scanned != scanned) {
      row->scanned = scanned;
      list_.RepaintRow(i);
    }
  }
}

void CCleanControls::RecountRows() {
  int selected = list_.RecountRows();
  fixErrors_.EnableWindow(selected > 0);
}

void CCleanControls::FillCategoryCounts() {
  counts_[0] = 0;
  for (const RegCheck::ScanCategory& category : RegCheck::kScanCategories) counts_[category.bit] = 0;
  for (RegCheck::CRegistryAction* action : GetResults()) ++counts_[action->GetCategory()];
}
