#include "framework/GdiObject.h"

namespace fw {

MemoryDC::MemoryDC(HDC reference, int width, int height) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(reference);
  if (!dc_) return;
  // A bitmap compatible with the memory DC would be monochrome; take the
  // reference DC's format (or the screen's when none is given).
  if (reference) {
    bitmap_ = CreateCompatibleBitmap(reference, width > 0 ? width : 1, height > 0 ? height : 1);
  } else {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
    ReleaseDC(nullptr, screen);
  }
  if (bitmap_) old_ = SelectObject(dc_, bitmap_);
}

MemoryDC::~MemoryDC() {
  if (old_) SelectObject(dc_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

}  // namespace fw
