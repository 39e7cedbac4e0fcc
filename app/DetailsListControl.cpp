#include "app/DetailsListControl.h"

#include <string>

#include "app/AppFonts.h"
#include "app/PanelLook.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {
HICON LoadSmallIcon(UINT id) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}
}  // namespace

CDetailsListControl::CDetailsListControl()
    : background_(CreateSolidBrush(RGB(255, 255, 255))),
      selected_(CreateSolidBrush(kSelectedColour)),
      ticked_(LoadSmallIcon(IDI_TICKED)),
      unticked_(LoadSmallIcon(IDI_UNTICKED)) {}

bool CDetailsListControl::Create(const RECT& rect, HWND parent, UINT id) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_BORDER |
                      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (!CListBox::Create(style, rect, parent, id)) return false;
  SetItemHeight(0, exmfc::Scale(kRowHeight));
  // Measured and drawn in the same font, so the extent fits the text.
  SetFont(GetAppFont(AppFont::kList), FALSE);
  return true;
}

int CDetailsListControl::AddAction(RegCheck::CRegistryAction* action) {
  std::string text;
  action->GetDescription(text);
  int index = AddString(text.c_str());
  if (index < 0) return index;
  SetItemData(index, reinterpret_cast<DWORD_PTR>(action));
  FitHorizontalExtent(text.c_str());
  return index;
}

RegCheck::CRegistryAction* CDetailsListControl::GetAction(int index) const {
  LRESULT data = SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index));
  if (data == LB_ERR) return nullptr;
  return reinterpret_cast<RegCheck::CRegistryAction*>(data);
}

void CDetailsListControl::SelectAll(bool select) {
  for (int i = 0; i < GetCount(); ++i) {
    RegCheck::CRegistryAction* action = GetAction(i);
    if (!action) break;
    action->SetSelected(select ? 1 : 0);
  }
  Invalidate();
}

RECT CDetailsListControl::TickBoxRect(int index) const {
  RECT item = GetItemRect(index);
  int side = item.bottom - item.top;
  RECT box = {item.left, item.top, item.left + side, item.bottom};
  InflateRect(&box, -4, -4);
  return box;
}

void CDetailsListControl::MeasureItem(MEASUREITEMSTRUCT* item) {
  item->itemHeight = exmfc::Scale(kRowHeight);
}

void CDetailsListControl::DrawItem(DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  auto* action = reinterpret_cast<RegCheck::CRegistryAction*>(item->itemData);
  HDC dc = item->hDC;
  RECT rc = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rc, selected ? selected_.Get() : background_.Get());
  if (!action) return;
  const int side = rc.bottom - rc.top;
  RECT box = {rc.left, rc.top, rc.left + side, rc.bottom};
  InflateRect(&box, -4, -4);
  DrawIconEx(dc, box.left, box.top, action->IsSelected() ? ticked_.Get() : unticked_.Get(),
             box.right - box.left, box.bottom - box.top, 0, nullptr, DI_NORMAL);
  RECT text = {box.right + 3, rc.top, rc.right, rc.bottom};
  DrawListRowText(*item, text, GetText(static_cast<int>(item->itemID)));
}

void CDetailsListControl::ToggleTick(int index) {
  RegCheck::CRegistryAction* action = index >= 0 ? GetAction(index) : nullptr;
  if (!action) return;
  action->SetSelected(!action->IsSelected());
  RECT r = GetItemRect(index);
  InvalidateRect(GetHwnd(), &r, TRUE);
}

LRESULT CDetailsListControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    LRESULT result = Default();
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    int index = ItemFromPoint(pt);
    RegCheck::CRegistryAction* action = index >= 0 ? GetAction(index) : nullptr;
    RECT box = index >= 0 ? TickBoxRect(index) : RECT{};
    if (action && PtInRect(&box, pt)) ToggleTick(index);
    return result;
  }
  // Space ticks the selected row; the list box's own arrows, Home and End
  // move the selection.
  if (msg == WM_KEYDOWN && wParam == VK_SPACE) {
    ToggleTick(GetCurSel());
    return 0;
  }
  // The list box would search for a row starting with a space.
  if (msg == WM_CHAR && wParam == ' ') return 0;
  return CListBox::WindowProc(msg, wParam, lParam);
}
