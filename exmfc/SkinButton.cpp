#include "exmfc/SkinButton.h"

#include <algorithm>

#include "exmfc/DpiScale.h"
#include "exmfc/SkinDC.h"

namespace exmfc {

namespace {
int KindFromStyle(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
      return CSkinButton::kCheckBox;
    case BS_AUTORADIOBUTTON:
      return CSkinButton::kRadio;
    default:
      return CSkinButton::kPush;
  }
}
}  // namespace

CSkinButton::CSkinButton() {
  normalColour_ = hoverColour_ = pressedColour_ = GetSysColor(COLOR_BTNTEXT);
}

bool CSkinButton::Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
  kind_ = KindFromStyle(style);
  creating_ = true;
  bool ok = CButton::Create(text, (style & ~BS_TYPEMASK) | BS_OWNERDRAW, rect, parent, id);
  creating_ = false;
  return ok;
}

void CSkinButton::PreSubclassWindow() {
  // A button from a dialog template: take its kind, then draw it ourselves.
  if (creating_) return;
  DWORD style = GetStyle();
  if ((style & BS_TYPEMASK) == BS_OWNERDRAW) return;
  kind_ = KindFromStyle(style);
  // Ask the button itself: BM_GETCHECK now comes to this object first.
  checked_ = CallPrevious(BM_GETCHECK, 0, 0) == BST_CHECKED && kind_ != kPush;
  SetWindowLongPtrA(GetHwnd(), GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

void CSkinButton::SetSkin(UINT bitmapId, int imageSet, int width, COLORREF key, int drawMode,
                          int edge, int focusInset) {
  fw::OwnedBitmap strip(LoadBitmapA(module_, MAKEINTRESOURCEA(bitmapId)));
  SetSkinStrip(strip, imageSet, width, key, drawMode, edge, focusInset);
}

void CSkinButton::SetSkinStrip(HBITMAP strip, int imageSet, int width, COLORREF key, int drawMode,
                               int edge, int focusInset) {
  for (auto& image : images_) image.Reset();
  key_ = key;
  drawMode_ = drawMode;
  edge_ = edge;
  focusInset_ = focusInset;
  imageWidth_ = width;
  BITMAP info{};
  if (strip && GetObjectA(strip, sizeof info, &info) && width > 0) {
    fw::ClientDC screen(nullptr);
    fw::BitmapDC src(screen, strip);
    int x = 0;
    for (int i = 0; i < kImageCount; ++i) {
      if (!(imageSet & (1 << i))) continue;
      fw::OwnedBitmap image(CreateCompatibleBitmap(screen, width, info.bmHeight));
      if (image) {
        fw::BitmapDC dst(screen, image);
        BitBlt(dst, 0, 0, width, info.bmHeight, src, x, 0, SRCCOPY);
      }
      images_[i] = std::move(image);
      x += width;
    }
    if (!(imageSet & SKIN_DISABLED) && images_[kNormal]) {
      fw::OwnedBitmap copy(CreateCompatibleBitmap(screen, width, info.bmHeight));
      if (copy) {
        fw::BitmapDC from(screen, images_[kNormal]);
        fw::BitmapDC to(screen, copy);
        BitBlt(to, 0, 0, width, info.bmHeight, from, 0, 0, SRCCOPY);
      }
      images_[kDisabled] = std::move(copy);
    }
  }
  if (GetHwnd()) Invalidate();
}

void CSkinButton::SetTextColours(COLORREF normal, COLORREF hover, COLORREF pressed) {
  normalColour_ = normal;
  hoverColour_ = hover;
  pressedColour_ = pressed;
  if (GetHwnd()) Invalidate();
}

void CSkinButton::SetTooltipText(const char* text) { tooltip_.SetText(GetHwnd(), text); }

bool CSkinButton::CursorOverMe() const {
  POINT p;
  GetCursorPos(&p);
  return WindowFromPoint(p) == GetHwnd();
}

void CSkinButton::ToggleFromUser() {
  if (kind_ == kCheckBox)
    SendMessage(BM_SETCHECK, checked_ ? BST_UNCHECKED : BST_CHECKED);
  else if (kind_ == kRadio)
    SendMessage(BM_SETCHECK, BST_CHECKED);
}

void CSkinButton::UncheckGroup() {
  // The group runs from the nearest sibling at or before this button with
  // WS_GROUP up to the next sibling with WS_GROUP. Only buttons are told:
  // the message number means something else to other control classes.
  auto style = [](HWND h) { return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)); };
  HWND first = GetHwnd();
  while (!(style(first) & WS_GROUP)) {
    HWND prev = GetWindow(first, GW_HWNDPREV);
    if (!prev) break;
    first = prev;
  }
  HWND h = first;
  do {
    char cls[16];
    if (h != GetHwnd() && GetClassNameA(h, cls, sizeof cls) && lstrcmpiA(cls, "Button") == 0)
      ::PostMessageA(h, WM_SKIN_UNCHECK, 0, 0);
    h = GetWindow(h, GW_HWNDNEXT);
  } while (h && !(style(h) & WS_GROUP));
}

LRESULT CSkinButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  tooltip_.Relay(GetHwnd(), msg, wParam, lParam);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (hover_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_CANCEL, GetHwnd(), 0};
        TrackMouseEvent(&tme);
        hover_ = false;
      }
      LRESULT r = Default();
      pressed_ = true;
      return r;
    }
    case WM_MOUSEMOVE:
      if (pressed_ && GetCapture() == GetHwnd()) {
        bool over = CursorOverMe();
        bool pushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
        if (over != pushed) SendMessage(BM_SETSTATE, over);
      } else if (!hover_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, GetHwnd(), 0};
        if (TrackMouseEvent(&tme)) {
          hover_ = true;
          Invalidate(FALSE);
        }
      }
      return Default();
    case WM_MOUSELEAVE:
      hover_ = false;
      Invalidate(FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (kind_ != kPush && pressed_ && CursorOverMe()) ToggleFromUser();
      pressed_ = false;
      return Default();
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && kind_ != kPush) ToggleFromUser();
      return Default();
    case WM_KILLFOCUS:
      if (GetCapture() == GetHwnd()) ReleaseCapture();
      return Default();
    case BM_SETCHECK:
      checked_ = wParam != 0 && kind_ != kPush;
      if (kind_ == kRadio && checked_) UncheckGroup();
      Invalidate(FALSE);
      return 0;
    case WM_SKIN_UNCHECK:
      if (checked_) {
        checked_ = false;
        Invalidate(FALSE);
      }
      return 0;
    case BM_GETCHECK:
      return checked_ ? BST_CHECKED : BST_UNCHECKED;
    case WM_ERASEBKGND:
      if (kind_ != kPush) {
        HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessageA(
            GetParent(), WM_CTLCOLORBTN, wParam, reinterpret_cast<LPARAM>(GetHwnd())));
        RECT r = GetClientRect();
        if (brush) FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
      }
      return 1;
    default:
      return fw::CButton::WindowProc(msg, wParam, lParam);
  }
}

void CSkinButton::DrawImage(HDC dc, Image which, const RECT& rect) const {
  HBITMAP image = images_[which].Get();
  BITMAP info{};
  if (!image || !GetObjectA(image, sizeof info, &info)) return;
  // The strip is drawn for 96 DPI: it grows with the screen's DPI, as the
  // button's rectangle and font do, and is cut where the rectangle ends.
  const int dpi = ScreenDpi();
  const int w = std::min<int>(ScaleTo(info.bmWidth, dpi), rect.right - rect.left);
  const int h = std::min<int>(ScaleTo(info.bmHeight, dpi), rect.bottom - rect.top);
  if (w <= 0 || h <= 0) return;
  fw::BitmapDC src(dc, image);
  if (dpi == USER_DEFAULT_SCREEN_DPI) {
    BitBlt(dc, rect.left, rect.top, w, h, src, 0, 0, SRCCOPY);
    return;
  }
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin;
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  StretchBlt(dc, rect.left, rect.top, w, h, src, 0, 0, MulDiv(w, USER_DEFAULT_SCREEN_DPI, dpi),
             MulDiv(h, USER_DEFAULT_SCREEN_DPI, dpi), SRCCOPY);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  SetStretchBltMode(dc, oldMode);
}

void CSkinButton::DrawItem(DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  const RECT rc = item->rcItem;

  // 1. While the mouse is held, the pushed look follows the cursor; a
  // change redraws, so this drawing stops.
  if (pressed_ && GetCapture() == GetHwnd()) {
    bool over = CursorOverMe();
    bool pushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
    if (over != pushed) {
      SendMessage(BM_SETSTATE, over);
      return;
    }
  }

  // 2. Text placement.
  RECT text = rc;
  if (kind_ != kPush && images_[kNormal]) {
    text.left += imageWidth_;
  } else {
    InflateRect(&text, -(focusInset_ + 2), 0);
  }
  UINT format = DT_SINGLELINE | DT_VCENTER | (kind_ == kPush ? DT_CENTER : 0);
  std::string caption = GetWindowText();
  SetBkMode(dc, TRANSPARENT);
  HFONT font = GetFont();
  fw::SelectGuard selFont(dc, font);

  const bool disabled = (item->itemState & ODS_DISABLED) != 0;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const bool focused = (item->itemState & ODS_FOCUS) != 0;

  if (disabled) {
    // 3.
    if (images_[kDisabled])
      DrawImage(dc, kDisabled, rc);
    else
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (ownDisabledColour_) {
      SetTextColor(dc, disabledColour_);
    } else {
      RECT shifted = text;
      OffsetRect(&shifted, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
      DrawTextA(dc, caption.c_str(), -1, &shifted, format);
      SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
  } else if (selected || checked_) {
    // 4.
    if (images_[kPressed])
      DrawImage(dc, kPressed, rc);
    else
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (kind_ == kPush) OffsetRect(&text, 1, 1);
    if (checked_ && kind_ != kPush && hover_)
      SetTextColor(dc, hoverColour_);
    else if (selected)
      SetTextColor(dc, pressedColour_);
    else
      SetTextColor(dc, normalColour_);
  } else {
    // 5.
    if (!images_[kNormal]) {
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
      SetTextColor(dc, normalColour_);
    } else if (hover_ && images_[kHover]) {
      DrawImage(dc, kHover, rc);
      SetTextColor(dc, hoverColour_);
    } else if (focused && images_[kFocused]) {
      DrawImage(dc, kFocused, rc);
      SetTextColor(dc, normalColour_);
    } else {
      DrawImage(dc, kNormal, rc);
      SetTextColor(dc, normalColour_);
    }
  }

  // 6.
  if (edge_) {
    RECT e = rc;
    DrawEdge(dc, &e, selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  if (focusInset_ && focused) {
    RECT f = rc;
    InflateRect(&f, -focusInset_, -focusInset_);
    DrawFocusRect(dc, &f);
  }

  // 7.
  if (!caption.empty()) DrawTextA(dc, caption.c_str(), -1, &text, format);
}

}  // namespace exmfc
