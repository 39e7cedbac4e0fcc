#include "exmfc/ScrollBarEx.h"

#include <windowsx.h>

#include <algorithm>

#include "exmfc/SkinDC.h"

namespace exmfc {

CScrollBarEx::CScrollBarEx() = default;

bool CScrollBarEx::Create(DWORD style, const RECT& rect, HWND parent, UINT id,
                          UINT firstPieceBitmap) {
  HMODULE module = GetModuleHandleA(nullptr);
  for (UINT i = 0; firstPieceBitmap && i < kPieceCount; ++i)
    pieces_[i].Reset(LoadBitmapA(module, MAKEINTRESOURCEA(firstPieceBitmap + i)));
  const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  return cls && CreateEx(0, cls, "", style, rect, parent, id);
}

void CScrollBarEx::SetPiece(Piece piece, HBITMAP bitmap) {
  pieces_[piece].Reset(bitmap);
  Redraw();
}

int CScrollBarEx::ArrowHeight() const {
  // The arrows are square.
  const int width = GetClientRect().right;
  return width > 0 ? width : kArrow;
}

int CScrollBarEx::ThumbHeight() const { return MulDiv(kThumbHeight, ArrowHeight(), kArrow); }

int CScrollBarEx::TrackHeight() const {
  RECT r = GetClientRect();
  return std::max<int>(0, r.bottom - 2 * ArrowHeight());
}

int CScrollBarEx::ThumbTop() const {
  int range = max_ - min_;
  if (range <= 0) return TrackTop();
  return TrackTop() + (TrackHeight() - ThumbHeight()) * (pos_ - min_) / range;
}

void CScrollBarEx::UpdateFromList() {
  if (!list_) return;
  RECT client;
  ::GetClientRect(list_, &client);
  int itemHeight = static_cast<int>(::SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0));
  int count = static_cast<int>(::SendMessageA(list_, LB_GETCOUNT, 0, 0));
  int visible = itemHeight > 0 ? client.bottom / itemHeight : count;
  bool wasEnabled = IsWindowEnabled() != FALSE;
  int oldMin = min_, oldMax = max_, oldPos = pos_;
  if (visible < count) {
    min_ = 0;
    max_ = count - visible;
    pos_ = static_cast<int>(::SendMessageA(list_, LB_GETTOPINDEX, 0, 0));
    if (!wasEnabled) EnableWindow(TRUE);
  } else if (wasEnabled) {
    EnableWindow(FALSE);
  }
  if (wasEnabled != (IsWindowEnabled() != FALSE) || oldMin != min_ || oldMax != max_ ||
      oldPos != pos_)
    Redraw();
}

void CScrollBarEx::DrawPiece(HDC dc, Piece piece, int x, int y, int w, int h, int fallbackColour) {
  if (pieces_[piece]) {
    fw::BitmapDC src(dc, pieces_[piece]);
    const int width = GetClientRect().right;
    if (width == kArrow) {
      BitBlt(dc, x, y, w, h, src, 0, 0, SRCCOPY);
    } else {
      // The pieces are drawn for a 16-pixel bar: the part a 16-pixel bar
      // would show is stretched over the wider one's.
      const int oldMode = SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, x, y, w, h, src, 0, 0, MulDiv(w, kArrow, width), MulDiv(h, kArrow, width),
                 SRCCOPY);
      SetStretchBltMode(dc, oldMode);
    }
  } else {
    RECT r = {x, y, x + w, y + h};
    FillRect(dc, &r, GetSysColorBrush(fallbackColour));
  }
}

void CScrollBarEx::Render() {
  RECT r = GetClientRect();
  if (r.right <= 0 || r.bottom <= 0) return;
  fw::ClientDC wdc(GetHwnd());
  image_.Reset(CreateCompatibleBitmap(wdc, r.right, r.bottom));
  if (!image_) return;
  fw::BitmapDC dc(wdc, image_);
  const bool enabled = IsWindowEnabled() != FALSE;

  // Track: a pattern brush of the track tile, or a plain fill.
  RECT track = {0, TrackTop(), r.right, TrackTop() + TrackHeight()};
  HBITMAP tile = pieces_[enabled ? kTrack : kTrackDisabled].Get();
  if (tile) {
    fw::OwnedBrush pattern(CreatePatternBrush(tile));
    FillRect(dc, &track, pattern);
  } else {
    FillRect(dc, &track, GetSysColorBrush(enabled ? COLOR_SCROLLBAR : COLOR_3DFACE));
  }
  Piece up = !enabled ? kUpDisabled : upPressed_ ? kUpPressed : kUp;
  Piece down = !enabled ? kDownDisabled : downPressed_ ? kDownPressed : kDown;
  const int arrow = ArrowHeight();
  DrawPiece(dc, up, 0, 0, r.right, arrow - MulDiv(1, arrow, kArrow),
            upPressed_ ? COLOR_3DSHADOW : COLOR_3DFACE);
  DrawPiece(dc, down, 0, r.bottom - arrow, r.right, arrow,
            downPressed_ ? COLOR_3DSHADOW : COLOR_3DFACE);
  if (enabled) DrawPiece(dc, kThumb, 0, ThumbTop(), r.right, ThumbHeight(), COLOR_3DDKSHADOW);
}

void CScrollBarEx::Redraw() {
  if (!GetHwnd()) return;
  Render();
  Invalidate(FALSE);
}

void CScrollBarEx::SendLine() {
  if (!list_) return;
  ::SendMessageA(list_, WM_VSCROLL, MAKEWPARAM(lineCommand_, 0), 0);
  UpdateFromList();
}

void CScrollBarEx::StopTracking() {
  KillTimer(GetHwnd(), kRepeatTimer);
  bool had = upPressed_ || downPressed_ || dragging_;
  upPressed_ = downPressed_ = dragging_ = false;
  if (GetCapture() == GetHwnd()) ReleaseCapture();
  if (had) Redraw();
}

LRESULT CScrollBarEx::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
    case WM_ENABLE:
      Redraw();
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      fw::PaintDC dc(GetHwnd());
      if (!image_) Render();
      if (image_) {
        RECT r = GetClientRect();
        fw::BitmapDC src(dc, image_);
        BitBlt(dc, 0, 0, r.right, r.bottom, src, 0, 0, SRCCOPY);
      }
      return 0;
    }
    case WM_LBUTTONDOWN: {
      if (!IsWindowEnabled()) return 0;
      int y = GET_Y_LPARAM(lParam);
      RECT r = GetClientRect();
      if (y < ArrowHeight() || y >= r.bottom - ArrowHeight()) {
        bool up = y < ArrowHeight();
        upPressed_ = up;
        downPressed_ = !up;
        lineCommand_ = up ? SB_LINEUP : SB_LINEDOWN;
        SetCapture(GetHwnd());
        Redraw();
        SendLine();
        SetTimer(GetHwnd(), kRepeatTimer, kRepeatMs, nullptr);
      } else if (y >= ThumbTop() && y < ThumbTop() + ThumbHeight()) {
        dragging_ = true;
        grabOffset_ = y - ThumbTop();
        SetCapture(GetHwnd());
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimer) {
        SendLine();
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (dragging_) {
        RECT r = GetClientRect();
        int reserve = 8 * r.right / 10;
        int top = GET_Y_LPARAM(lParam) - grabOffset_;
        top = std::max(TrackTop(), std::min(top, TrackTop() + TrackHeight() - reserve));
        int span = TrackHeight() - reserve;
        int pos = span > 0 ? (max_ - min_) * (top - TrackTop()) / span : min_;
        pos = std::max(min_, std::min(pos, max_));
        if (list_) ::SendMessageA(list_, LB_SETTOPINDEX, pos, 0);
        if (pos != pos_) {
          pos_ = pos;
          Redraw();
        }
        return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      StopTracking();
      return 0;
    default:
      break;
  }
  return fw::CWnd::WindowProc(msg, wParam, lParam);
}

}  // namespace exmfc
