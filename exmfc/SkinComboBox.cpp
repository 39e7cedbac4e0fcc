#include "exmfc/SkinComboBox.h"

#include <windowsx.h>

#include <algorithm>

#include "exmfc/DpiScale.h"
#include "framework/GdiObject.h"

namespace exmfc {

namespace {
const COLORREF kSelectedRow = RGB(119, 119, 119);
const COLORREF kBorder = RGB(170, 170, 170);
}  // namespace

// ---------------------------------------------------------------- list

void CPopupListBox::MeasureItem(MEASUREITEMSTRUCT* item) {
  item->itemHeight = Scale(CPopupWnd::kRowHeight);
}

void CPopupListBox::DrawItem(DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  HDC dc = item->hDC;
  const RECT& r = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  fw::OwnedBrush back(CreateSolidBrush(selected ? kSelectedRow : RGB(255, 255, 255)));
  FillRect(dc, &r, back);
  HICON icon = reinterpret_cast<HICON>(item->itemData);
  if (icon)
    DrawIconEx(dc, r.left + Scale(3), r.top + (r.bottom - r.top - 16) / 2, icon, 16, 16, 0, nullptr,
               DI_NORMAL);
  std::string text = GetText(static_cast<int>(item->itemID));
  RECT t = r;
  t.left += Scale(26);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
  fw::SelectGuard font(dc, popup_->Owner().TextFont());
  DrawTextA(dc, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

LRESULT CPopupListBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      int index = ItemFromPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (index >= 0 && index != GetCurSel()) SetCurSel(index);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      int index = ItemFromPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (index >= 0) SetCurSel(index);
      popup_->Close(true);
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_F4) {
        popup_->CloseFromKeyboard(wParam != VK_ESCAPE);
        return 0;
      }
      break;
    case WM_SYSKEYDOWN:
      // Alt+Up or Alt+Down closes the list as it opened it, taking the row.
      if (wParam == VK_UP || wParam == VK_DOWN) {
        popup_->CloseFromKeyboard(true);
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      HWND gaining = reinterpret_cast<HWND>(wParam);
      if (gaining != popup_->GetHwnd() && !IsChild(popup_->GetHwnd(), gaining))
        popup_->Close(false);
      break;
    }
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: {
      LRESULT r = Default();
      popup_->ScrollBar().UpdateFromList();
      return r;
    }
    default:
      break;
  }
  LRESULT r = fw::CListBox::WindowProc(msg, wParam, lParam);
  if (msg == WM_KEYDOWN) popup_->ScrollBar().UpdateFromList();
  return r;
}

// ---------------------------------------------------------------- pop-up

CPopupWnd::CPopupWnd(CSkinComboBox* owner) : owner_(owner), list_(this) {}

bool CPopupWnd::Create(HWND ownerWindow, UINT scrollBarBitmaps) {
  const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  if (!cls || !CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, cls, "", WS_POPUP, RECT{0, 0, 10, 10},
                        ownerWindow, 0))
    return false;
  if (!list_.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                        LBS_NOINTEGRALHEIGHT,
                    RECT{3, 3, 7, 7}, GetHwnd(), CPopupListBox::kId))
    return false;
  if (!scroll_.Create(WS_CHILD, RECT{0, 0, 16, 10}, GetHwnd(), 0, scrollBarBitmaps)) return false;
  scroll_.Bind(list_.GetHwnd());
  return true;
}

void CPopupWnd::Layout() {
  RECT c = GetClientRect();
  const bool scrolls = list_.GetCount() > kMaxVisibleRows;
  RECT listRect = {3, 3, c.right - 3, c.bottom - 3};
  if (scrolls) {
    RECT bar = {c.right - 3 - Scale(CScrollBarEx::kArrow), 3, c.right - 3, c.bottom - 3};
    scroll_.MoveWindow(bar);
    listRect.right = bar.left - 1;
  }
  list_.MoveWindow(listRect);
  scroll_.ShowWindow(scrolls ? SW_SHOW : SW_HIDE);
  scroll_.UpdateFromList();
}

void CPopupWnd::Open(const RECT& combo) {
  const int rowHeight = Scale(kRowHeight);
  list_.SetItemHeight(0, rowHeight);
  const int rows = std::min(list_.GetCount(), kMaxVisibleRows);
  const int height = rows * rowHeight + 6;
  SetWindowPos(GetHwnd(), HWND_TOPMOST, combo.left, combo.bottom + 1, combo.right - combo.left,
               height, SWP_NOACTIVATE);
  list_.SetCurSel(selected_);
  if (selected_ >= 0) list_.SetTopIndex(std::max(0, selected_ - rows + 1));
  Layout();
  ShowWindow(SW_SHOW);
  ::SetFocus(list_.GetHwnd());
}

void CPopupWnd::Close(bool take) {
  if (closing_ || !IsOpen()) return;
  closing_ = true;
  ShowWindow(SW_HIDE);
  closing_ = false;
  if (take) {
    int index = list_.GetCurSel();
    if (index >= 0) {
      selected_ = index;
      owner_->SelectionTaken();
    }
  }
}

void CPopupWnd::CloseFromKeyboard(bool take) {
  Close(take);
  // The hidden list still has the focus; the box takes it back so Tab and
  // the arrows go on from there. The list's losing it closes nothing more.
  ::SetFocus(owner_->GetHwnd());
}

LRESULT CPopupWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      fw::PaintDC dc(GetHwnd());
      RECT r = GetClientRect();
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      fw::OwnedPen pen(CreatePen(PS_INSIDEFRAME, 2, RGB(0, 0, 0)));
      fw::SelectGuard selPen(dc, pen);
      fw::SelectGuard selBrush(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      // Clicks in the pop-up must not take activation from the owner.
      return MA_NOACTIVATE;
    default:
      return fw::CWnd::WindowProc(msg, wParam, lParam);
  }
}

// ---------------------------------------------------------------- box

CSkinComboBox::CSkinComboBox() : popup_(this) {}

CSkinComboBox::~CSkinComboBox() {
  // The pop-up is owned, not a child: it goes with this object.
  popup_.DestroyWindow();
}

bool CSkinComboBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id, UINT arrowBitmap,
                           UINT scrollBarBitmaps) {
  arrowBitmap_ = arrowBitmap;
  const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
  if (!cls || !CreateEx(0, cls, "", style | WS_CLIPCHILDREN, rect, parent, id)) return false;
  RECT c = GetClientRect();
  RECT inner = {c.left + 1, c.top + 1, c.right - 1, c.bottom - 1};
  if (!arrow_.Create("", WS_CHILD | WS_VISIBLE,
                     RECT{inner.right - kArrowWidth, inner.top, inner.right, inner.bottom},
                     GetHwnd(), kArrowId))
    return false;
  if (arrowBitmap_) arrow_.SetSkin(arrowBitmap_, SKIN_NORMAL | SKIN_PRESSED | SKIN_HOVER, kArrowWidth);
  return popup_.Create(GetAncestor(parent, GA_ROOT), scrollBarBitmaps);
}

int CSkinComboBox::AddItem(const char* text, HICON icon) {
  int index = popup_.List().AddString(text);
  if (index >= 0) popup_.List().SetItemData(index, reinterpret_cast<DWORD_PTR>(icon));
  return index;
}

void CSkinComboBox::ResetContent() {
  popup_.List().ResetContent();
  popup_.SetSelected(-1);
  Invalidate();
}

int CSkinComboBox::GetCount() const { return const_cast<CPopupWnd&>(popup_).List().GetCount(); }

std::string CSkinComboBox::GetItemText(int index) const {
  return const_cast<CPopupWnd&>(popup_).List().GetText(index);
}

void CSkinComboBox::SetCurSel(int index) {
  popup_.SetSelected(index >= 0 && index < GetCount() ? index : -1);
  Invalidate();
}

void CSkinComboBox::SelectNext() {
  int cur = GetCurSel();
  int next = cur < 0 ? 0 : cur + 1;
  if (next >= GetCount() || next == cur) return;
  popup_.SetSelected(next);
  SelectionTaken();
}

void CSkinComboBox::SelectPrevious() {
  int cur = GetCurSel();
  if (cur <= 0) return;
  popup_.SetSelected(cur - 1);
  SelectionTaken();
}

void CSkinComboBox::SetIcon(HICON icon) {
  icon_ = icon;
  Invalidate();
}

void CSkinComboBox::SelectionTaken() {
  Invalidate();
  UpdateWindow(GetHwnd());
  if (callback_) callback_->OnSkinComboSelChange(this);
}

void CSkinComboBox::ToggleDropDown() {
  if (popup_.IsOpen()) {
    popup_.Close(false);
    return;
  }
  RECT screen = GetWindowRect();
  popup_.Open(screen);
}

void CSkinComboBox::Paint(HDC dc) {
  RECT c = GetClientRect();
  RECT inner = {c.left + 1, c.top + 1, c.right - 1, c.bottom - 1};
  FillRect(dc, &inner, GetSysColorBrush(COLOR_WINDOW));
  fw::OwnedBrush border(CreateSolidBrush(kBorder));
  FrameRect(dc, &c, border);
  RECT text = {inner.left + 3, inner.top, inner.right - 24, inner.bottom};
  if (icon_) {
    DrawIconEx(dc, inner.left + 1, inner.top + 3, icon_, 16, 16, 0, nullptr, DI_NORMAL);
    text.left += 20;
  }
  std::string caption = GetCurSel() >= 0 ? GetItemText(GetCurSel()) : std::string();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  fw::SelectGuard font(dc, font_);
  DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (::GetFocus() == GetHwnd()) {
    RECT focus = {inner.left + 1, inner.top + 1, inner.right - kArrowWidth - 1, inner.bottom - 1};
    DrawFocusRect(dc, &focus);
  }
}

bool CSkinComboBox::OnKey(WPARAM key) {
  switch (key) {
    case VK_F4:
      ToggleDropDown();
      return true;
    case VK_UP:
    case VK_LEFT:
      SelectPrevious();
      return true;
    case VK_DOWN:
    case VK_RIGHT:
      SelectNext();
      return true;
    case VK_HOME:
      TakeItem(0);
      return true;
    case VK_END:
      TakeItem(GetCount() - 1);
      return true;
    default:
      return false;
  }
}

void CSkinComboBox::TakeItem(int index) {
  if (index < 0 || index >= GetCount() || index == GetCurSel()) return;
  popup_.SetSelected(index);
  SelectionTaken();
}

LRESULT CSkinComboBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      fw::PaintDC dc(GetHwnd());
      Paint(dc);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      // The arrows step through the items; Tab, Enter and Esc stay with the
      // dialog navigation.
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (OnKey(wParam)) return 0;
      break;
    case WM_SYSKEYDOWN:
      // Alt+Down or Alt+Up opens the list, as in a standard combo box.
      if (wParam == VK_DOWN || wParam == VK_UP) {
        ToggleDropDown();
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      ::SetFocus(GetHwnd());
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == kArrowId && HIWORD(wParam) == BN_CLICKED) {
        ToggleDropDown();
        return 0;
      }
      break;
    default:
      break;
  }
  return fw::CWnd::WindowProc(msg, wParam, lParam);
}

}  // namespace exmfc
