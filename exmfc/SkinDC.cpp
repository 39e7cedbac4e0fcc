#include "exmfc/SkinDC.h"

#include <algorithm>
#include <utility>

namespace exmfc {

namespace {

RECT ClientRect(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

}  // namespace

CBufferDC::CBufferDC(HWND hwnd)
    : hwnd_(hwnd),
      paint_(hwnd),
      bounds_(ClientRect(hwnd)),
      mem_(CreateCompatibleDC(paint_)),
      bitmap_(CreateCompatibleBitmap(paint_, std::max<LONG>(bounds_.right, 1),
                                     std::max<LONG>(bounds_.bottom, 1))),
      select_(mem_, mem_ && bitmap_ ? bitmap_.Get() : nullptr) {}

void CBufferDC::SetBoundsRect(const RECT& bounds) {
  RECT grown = {std::min(bounds.left, bounds_.left), std::min(bounds.top, bounds_.top),
                std::max(bounds.right, bounds_.right), std::max(bounds.bottom, bounds_.bottom)};
  if (EqualRect(&grown, &bounds_) || !mem_) return;
  fw::OwnedBitmap bigger(CreateCompatibleBitmap(paint_, grown.right, grown.bottom));
  if (!bigger) return;
  {
    fw::BitmapDC copy(paint_, bigger);
    BitBlt(copy, 0, 0, bounds_.right, bounds_.bottom, mem_, 0, 0, SRCCOPY);
  }
  // The guard keeps the DC's first bitmap to put back at the end; the
  // smaller one, deselected here, goes at once.
  SelectObject(mem_, bigger);
  bitmap_ = std::move(bigger);
  bounds_ = grown;
}

CBufferDC::~CBufferDC() {
  // The members then deselect, delete the bitmap, delete the DC and end
  // the paint, in that order.
  if (mem_ && bitmap_) {
    RECT client = ClientRect(hwnd_);
    BitBlt(paint_, 0, 0, client.right, client.bottom, mem_, 0, 0, SRCCOPY);
  }
}

}  // namespace exmfc
