#include "framework/Controls.h"

#include "framework/GdiObject.h"

namespace fw {

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX),
                             ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                                 ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

void CButton::DrawItem(DRAWITEMSTRUCT*) {}

bool CButton::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    *result = TRUE;
    return true;
  }
  return CWnd::OnChildNotify(msg, wParam, lParam, result);
}

std::string CListBox::GetText(int index) const {
  int n = static_cast<int>(SendMessage(LB_GETTEXTLEN, index));
  if (n == LB_ERR) return std::string();
  std::string text(n + 1, '\0');
  int got = static_cast<int>(SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0])));
  text.resize(got == LB_ERR ? 0 : got);
  return text;
}

RECT CListBox::GetItemRect(int index) const {
  RECT r{};
  SendMessage(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

int CListBox::ItemFromPoint(POINT pt) const {
  LRESULT r = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  if (HIWORD(r)) return -1;  // outside the client area
  int index = LOWORD(r);
  return index < GetCount() ? index : -1;
}

void CListBox::FitHorizontalExtent(const char* text) const {
  ClientDC dc(GetHwnd());
  SelectGuard font(dc, GetFont());
  SIZE size{};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  int width = size.cx + ((GetStyle() & LBS_USETABSTOPS) ? 2 : 3);
  if (width > GetHorizontalExtent()) SetHorizontalExtent(width);
}

void CListBox::DrawItem(DRAWITEMSTRUCT*) {}
void CListBox::MeasureItem(MEASUREITEMSTRUCT*) {}

bool CListBox::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    *result = TRUE;
    return true;
  }
  if (msg == WM_MEASUREITEM) {
    MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    *result = TRUE;
    return true;
  }
  return CWnd::OnChildNotify(msg, wParam, lParam, result);
}

}  // namespace fw
