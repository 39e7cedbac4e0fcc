#include "app/CleanControls.h"

#include "app/PanelLook.h"
#include "engine/ScanCategories.h"
#include "exmfc/DpiScale.h"
#include "exmfc/SkinDraw.h"
#include "res/resource.h"

namespace {

constexpr UINT kCategoryListId = 1000;

// The list and its header span the work area's width: the label column is
// as wide as the longest label, and the status column needs room for
// "(1500/1500) Errors" beside it.
const RECT kHeaderRect = {2, 40, 392, 67};
const RECT kListRect = {2, 67, 392, 278};
// The column line in the header bitmap.
constexpr int kHeaderDivider = 236;

}  // namespace

CCleanControls::CCleanControls() { FillCategoryCounts(); }

void CCleanControls::FitHeader(HWND parent) {
  // The header is stretched over its place with its column line moved onto
  // the list's, wherever the widest label put that.
  POINT divider = {list_.LabelRect(0).right, 0};
  MapWindowPoints(list_.GetHwnd(), parent, &divider, 1);
  const RECT place = exmfc::Scale(kHeaderRect);
  fw::OwnedBitmap drawn(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LIST_HEADER)));
  headerBitmap_.Reset(exmfc::StretchedCopySplit(drawn, kHeaderDivider, place.right - place.left,
                                                place.bottom - place.top, divider.x - place.left));
  // A header that cannot be split still shows, stretched as a whole.
  if (!headerBitmap_)
    headerBitmap_.Reset(
        exmfc::StretchedCopy(drawn, place.right - place.left, place.bottom - place.top));
  header_.SetBitmap(headerBitmap_);
}

bool CCleanControls::Create(HWND parent) {
  const exmfc::ShapeStyle frame = ListFrameStyle();
  // The header bitmap carries the column titles ("Registry area",
  // "Status"), so no separate label or frames are laid over the list.
  if (!header_.Create("", WS_CHILD | SS_BITMAP, exmfc::Scale(kHeaderRect), parent)) return false;
  if (!listFrame_.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD, exmfc::Scale(kListRect), parent,
                         IDC_STATIC_NONE))
    return false;
  listFrame_.SetShapeStyle(frame);
  RECT inner = listFrame_.GetClientRect();
  inner.left += exmfc::Scale(1);
  inner.right -= exmfc::Scale(1);
  inner.bottom -= exmfc::Scale(1);
  if (!list_.Create(inner, listFrame_, kCategoryListId)) return false;
  FitHeader(parent);
  if (!MakeSkinButton(scanNow_, "Scan NOW!", RECT{187, 282, 287, 306}, parent, IDC_SCAN_NOW))
    return false;
  if (!MakeSkinButton(fixErrors_, "Fix Errors", RECT{292, 282, 392, 306}, parent, IDC_FIX_ERRORS))
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
