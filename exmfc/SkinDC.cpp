#include "exmfc/SkinDC.h"

#include <algorithm>

namespace exmfc {

CCompatibleDC::CCompatibleDC(HDC dc, HBITMAP bitmap) : dc_(CreateCompatibleDC(dc)) {
  if (dc_ && bitmap) old_ = SelectObject(dc_, bitmap);
}

CCompatibleDC::~CCompatibleDC() {
  if (!dc_) return;
  if (old_) SelectObject(dc_, old_);
  DeleteDC(dc_);
}

CBufferDC::CBufferDC(HWND hwnd) : hwnd_(hwnd) {
  paint_ = BeginPaint(hwnd, &ps_);
  GetClientRect(hwnd, &bounds_);
  mem_ = CreateCompatibleDC(paint_);
  bitmap_ = CreateCompatibleBitmap(paint_, std::max<LONG>(bounds_.right, 1),
                                   std::max<LONG>(bounds_.bottom, 1));
  if (mem_ && bitmap_) old_ = SelectObject(mem_, bitmap_);
}

void CBufferDC::SetBoundsRect(const RECT& bounds) {
  RECT grown = {std::min(bounds.left, bounds_.left), std::min(bounds.top, bounds_.top),
                std::max(bounds.right, bounds_.right), std::max(bounds.bottom, bounds_.bottom)};
  if (EqualRect(&grown, &bounds_) || !mem_) return;
  HBITMAP bigger = CreateCompatibleBitmap(paint_, grown.right, grown.bottom);
  if (!bigger) return;
  HDC copy = CreateCompatibleDC(paint_);
  HGDIOBJ copyOld = SelectObject(copy, bigger);
  BitBlt(copy, 0, 0, bounds_.right, bounds_.bottom, mem_, 0, 0, SRCCOPY);
  SelectObject(copy, copyOld);
  DeleteDC(copy);
  SelectObject(mem_, bigger);
  DeleteObject(bitmap_);
  bitmap_ = bigger;
  bounds_ = grown;
}

CBufferDC::~CBufferDC() {
  if (mem_ && bitmap_) {
    RECT client;
    GetClientRect(hwnd_, &client);
    BitBlt(paint_, 0, 0, client.right, client.bottom, mem_, 0, 0, SRCCOPY);
  }
  if (mem_ && old_) SelectObject(mem_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (mem_) DeleteDC(mem_);
  EndPaint(hwnd_, &ps_);
}

}  // namespace exmfc
