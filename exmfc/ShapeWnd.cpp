#include "exmfc/ShapeWnd.h"

#include "framework/GdiObject.h"

namespace exmfc {

bool CShapeWnd::Create(int shape, DWORD style, const RECT& rect, HWND parent, UINT id) {
  shape_ = shape;
  const char* cls = RegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW));
  // A frame around a list: Tab must reach the controls inside it.
  return cls && CreateEx(WS_EX_CONTROLPARENT, cls, "", style, rect, parent, id);
}

void CShapeWnd::SetShapeStyle(const ShapeStyle& style) {
  style_ = style;
  if (GetHwnd()) Invalidate();
}

void CShapeWnd::Paint(HDC dc) {
  const DWORD m = style_.mask;
  const COLORREF fill = (m & SHAPE_FILL) ? style_.fillColour : GetSysColor(COLOR_WINDOW);
  const COLORREF frame = (m & SHAPE_FRAME) ? style_.frameColour : GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF text = (m & SHAPE_TEXT) ? style_.textColour : GetSysColor(COLOR_WINDOWTEXT);
  const int width = (m & SHAPE_FRAME_WIDTH) ? static_cast<int>(style_.frameWidth) : 1;

  fw::OwnedBrush made;
  HBRUSH brush = (m & SHAPE_BRUSH) ? style_.brush : nullptr;
  if (!brush) {
    if ((m & SHAPE_HATCH) && style_.hatchStyle)
      made.Reset(CreateHatchBrush(static_cast<int>(style_.hatchStyle), fill));
    else
      made.Reset(CreateSolidBrush(fill));
    brush = made.Get();
  }
  const DWORD penStyle = ((m & SHAPE_PEN_STYLE) ? style_.penStyle : 0) | PS_INSIDEFRAME;
  fw::OwnedPen pen(CreatePen(static_cast<int>(penStyle), width, frame));

  RECT r = GetClientRect();
  fw::SelectGuard selPen(dc, pen);
  fw::SelectGuard selBrush(dc, brush);
  fw::SelectGuard selFont(dc, (m & SHAPE_FONT) ? style_.font : nullptr);
  switch (shape_) {
    case kRoundRect:
      RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
      break;
    case kEllipse:
      Ellipse(dc, r.left, r.top, r.right, r.bottom);
      break;
    default:
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      break;
  }
  std::string caption = GetWindowText();
  if (!caption.empty()) {
    RECT t = {r.left + 6, r.top + 2, r.right - 6, r.bottom - 2};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    UINT align = style_.textAlign == 0 ? DT_LEFT : style_.textAlign == 1 ? DT_RIGHT : DT_CENTER;
    if (!(m & SHAPE_ALIGN)) align = DT_CENTER;
    DrawTextA(dc, caption.c_str(), -1, &t,
              align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
}

LRESULT CShapeWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      fw::PaintDC dc(GetHwnd());
      Paint(dc);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessageA(
          GetParent(), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(GetHwnd())));
      if (brush) {
        RECT r = GetClientRect();
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
      }
      return 1;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
      if (forward_ && GetParent()) return ::SendMessageA(GetParent(), msg, wParam, lParam);
      break;
    default:
      break;
  }
  return fw::CWnd::WindowProc(msg, wParam, lParam);
}

}  // namespace exmfc
