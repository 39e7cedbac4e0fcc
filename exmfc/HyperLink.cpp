#include "exmfc/HyperLink.h"

#include <shellapi.h>

#include <vector>

#include "exmfc/DpiScale.h"
#include "exmfc/SkinDC.h"

namespace exmfc {

CHyperLink::CHyperLink()
    : background_(GetSysColor(COLOR_BTNFACE)), hand_(LoadCursor(nullptr, IDC_HAND)) {
  LOGFONTA lf{};
  lf.lfHeight = Scale(14);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  font_.Reset(CreateFontIndirectA(&lf));
}

bool CHyperLink::Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
  if (!CStatic::Create(text, style | SS_NOTIFY, rect, parent, id)) return false;
  // Drawn in its own font; the window reports it to anyone who measures.
  SetFont(font_.Get());
  return true;
}

void CHyperLink::SetColours(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF background) {
  normal_ = normal;
  hover_colour_ = hover;
  pressed_colour_ = pressed;
  background_ = background;
  if (GetHwnd()) Invalidate();
}

void CHyperLink::SetBackground(COLORREF background) {
  background_ = background;
  if (GetHwnd()) Invalidate();
}

void CHyperLink::SetTooltipText(const char* text) { tooltip_.SetText(GetHwnd(), text); }

COLORREF CHyperLink::CurrentTextColour() const {
  if (!IsWindowEnabled()) return GetSysColor(COLOR_BTNSHADOW);
  if (pressed_ && hover_) return pressed_colour_;
  if (hover_) return hover_colour_;
  return normal_;
}

void CHyperLink::OpenTarget() {
  ShellExecuteA(nullptr, "open", target_.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

void CHyperLink::Paint() {
  CBufferDC dc(GetHwnd());
  RECT r = GetClientRect();
  fw::OwnedBrush back(CreateSolidBrush(background_));
  FillRect(dc, &r, back);
  State state = !IsWindowEnabled() ? kDisabled : (pressed_ && hover_) ? kPressed
                                              : hover_                ? kHover
                                                                      : kNormal;
  const COLORREF colour = CurrentTextColour();
  int left = r.left;
  if (icons_[state]) {
    DrawIconEx(dc, left, (r.bottom - 16) / 2, icons_[state], 16, 16, 0, nullptr, DI_NORMAL);
    left += 20;
  }
  fw::SelectGuard font(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);

  std::string text = GetWindowText();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  lines.push_back(text.substr(start));

  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int lineHeight = tm.tmHeight;
  int y = (r.bottom - lineHeight * static_cast<int>(lines.size())) / 2;
  fw::OwnedPen pen(CreatePen(PS_SOLID, 1, colour));
  fw::SelectGuard selPen(dc, pen);
  for (const std::string& line : lines) {
    TextOutA(dc, left, y, line.c_str(), static_cast<int>(line.size()));
    if (underline_) {
      SIZE size{};
      GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
      MoveToEx(dc, left, y + tm.tmAscent + 1, nullptr);
      LineTo(dc, left + size.cx, y + tm.tmAscent + 1);
    }
    y += lineHeight;
  }
  if (::GetFocus() == GetHwnd()) DrawFocusRect(dc, &r);
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  tooltip_.Relay(GetHwnd(), msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!hover_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, GetHwnd(), 0};
        TrackMouseEvent(&tme);
        hover_ = true;
        previousCursor_ = SetCursor(hand_);
        Invalidate(FALSE);
      }
      return 0;
    case WM_MOUSELEAVE:
      hover_ = false;
      pressed_ = false;
      if (previousCursor_) SetCursor(previousCursor_);
      Invalidate(FALSE);
      return 0;
    case WM_SETCURSOR:
      if (hover_) {
        SetCursor(hand_);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      Invalidate(FALSE);
      return 0;
    case WM_LBUTTONUP: {
      bool click = pressed_;
      pressed_ = false;
      Invalidate(FALSE);
      if (click && openOnClick_ && !target_.empty()) OpenTarget();
      return 0;
    }
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate(FALSE);
      break;
    case WM_GETDLGCODE:
      // Enter opens the link rather than pressing the default button.
      if (lParam) {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE || wParam == VK_RETURN) {
        if (openOnClick_ && !target_.empty()) OpenTarget();
        return 0;
      }
      break;
    default:
      break;
  }
  return fw::CStatic::WindowProc(msg, wParam, lParam);
}

}  // namespace exmfc
