#include "app/BackupActionsListBox.h"

#include <windowsx.h>

#include <string>

#include "app/PanelLook.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

HICON LoadSmallIcon(UINT id) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

}  // namespace

CBackupActionsListBox::CBackupActionsListBox()
    : background_(CreateSolidBrush(RGB(255, 255, 255))),
      selected_(CreateSolidBrush(kSelectedColour)),
      ticked_(LoadSmallIcon(IDI_TICKED)),
      unticked_(LoadSmallIcon(IDI_UNTICKED)),
      itemIcon_(LoadSmallIcon(IDI_BACKUP_ITEM)) {}

CBackupActionsListBox::~CBackupActionsListBox() {
  // Destroy the window while the records its lines point at still exist.
  DestroyWindow();
}

bool CBackupActionsListBox::Create(const RECT& rect, HWND parent, UINT id) {
  const DWORD style = WS_CHILD | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWFIXED |
                      LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (!CListBox::Create(style, rect, parent, id)) return false;
  SetItemHeight(0, exmfc::Scale(kRowHeight));
  return true;
}

void CBackupActionsListBox::RemoveAll() {
  ResetContent();
  rows_.clear();
  UpdateScrollBar();
}

int CBackupActionsListBox::AddOperation(RegCheck::IRegistryOperation* operation) {
  const int index = AddString(operation->GetDescription().c_str());
  if (index < 0) return -1;
  auto row = std::make_unique<Row>();
  row->operation = operation;
  SetItemData(index, reinterpret_cast<DWORD_PTR>(row.get()));
  rows_.push_back(std::move(row));
  UpdateScrollBar();
  return index;
}

CBackupActionsListBox::Row* CBackupActionsListBox::GetRow(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return reinterpret_cast<Row*>(GetItemData(index));
}

RECT CBackupActionsListBox::TickBoxRect(int index) const {
  RECT item = GetItemRect(index);
  RECT box = {item.left, item.top, item.left + (item.bottom - item.top), item.bottom};
  InflateRect(&box, -exmfc::Scale(kTickInset), -exmfc::Scale(kTickInset));
  return box;
}

void CBackupActionsListBox::SetTicked(int index, int ticked) {
  if (Row* row = GetRow(index)) {
    row->ticked = ticked;
    RepaintTickBox(index);
  }
}

void CBackupActionsListBox::TickAll() {
  for (int i = 0; i < GetCount(); ++i) SetTicked(i, 1);
}

int CBackupActionsListBox::TickedCount() const {
  int n = 0;
  for (int i = 0; i < GetCount(); ++i)
    if (const Row* row = GetRow(i)) n += row->ticked != 0;
  return n;
}

void CBackupActionsListBox::RepaintTickBox(int index) const {
  RECT box = TickBoxRect(index);
  InvalidateRect(GetHwnd(), &box, TRUE);
}

void CBackupActionsListBox::UpdateScrollBar() const {
  if (bar_ && bar_->GetHwnd()) bar_->UpdateFromList();
}

void CBackupActionsListBox::MeasureItem(MEASUREITEMSTRUCT* item) {
  item->itemHeight = exmfc::Scale(kRowHeight);
}

void CBackupActionsListBox::DrawItem(DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  HDC dc = item->hDC;
  const RECT rc = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rc, selected ? selected_.Get() : background_.Get());
  const Row* row = reinterpret_cast<const Row*>(item->itemData);
  RECT box = {rc.left, rc.top, rc.left + (rc.bottom - rc.top), rc.bottom};
  InflateRect(&box, -exmfc::Scale(kTickInset), -exmfc::Scale(kTickInset));
  HICON tick = row && row->ticked ? ticked_.Get() : unticked_.Get();
  DrawIconEx(dc, box.left, box.top, tick, box.right - box.left, box.bottom - box.top, 0, nullptr,
             DI_NORMAL);
  DrawIconEx(dc, rc.left + exmfc::Scale(kItemIconLeft), rc.top + (rc.bottom - rc.top - 16) / 2,
             itemIcon_, 16, 16, 0, nullptr, DI_NORMAL);
  RECT text = rc;
  text.left += exmfc::Scale(kTextLeft);
  DrawListRowText(*item, text, GetText(static_cast<int>(item->itemID)));
}

void CBackupActionsListBox::ToggleTick(int index) {
  if (Row* row = GetRow(index)) SetTicked(index, !row->ticked);
}

LRESULT CBackupActionsListBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int index = ItemFromPoint(pt);
      if (GetRow(index)) {
        RECT box = TickBoxRect(index);
        if (PtInRect(&box, pt)) {
          // The tick goes with the keyboard's row, as a click beside the
          // box would move it.
          ::SetFocus(GetHwnd());
          SetCurSel(index);
          ToggleTick(index);
          return 0;
        }
      }
      break;
    }
    case WM_KEYDOWN: {
      if (wParam == VK_SPACE) {
        ToggleTick(GetCurSel());
        return 0;
      }
      // Arrows, Home, End and paging move the selection and may scroll.
      LRESULT result = CListBox::WindowProc(msg, wParam, lParam);
      UpdateScrollBar();
      return result;
    }
    case WM_CHAR:
      // The list box would search for a row starting with a space.
      if (wParam == ' ') return 0;
      break;
    case WM_ERASEBKGND: {
      RECT r = GetClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &r, background_);
      return 1;
    }
    case WM_MOUSEWHEEL:
    case WM_VSCROLL: {
      // The list has no scroll bar of its own; keep the skinned one at the
      // list's new top line.
      LRESULT result = CListBox::WindowProc(msg, wParam, lParam);
      UpdateScrollBar();
      return result;
    }
    default:
      break;
  }
  return CListBox::WindowProc(msg, wParam, lParam);
}
