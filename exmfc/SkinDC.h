#pragma once
// Device-context utilities of the skin.

#include <windows.h>

#include "framework/GdiObject.h"

namespace exmfc {

// Paint DC for `hwnd` (BeginPaint) whose drawing goes to an off-screen
// bitmap of the client size; at destruction the bitmap is copied to the
// client area and freed (copy, deselect, delete bitmap, delete DC), then
// EndPaint runs.
class CBufferDC {
 public:
  explicit CBufferDC(HWND hwnd);
  ~CBufferDC();
  CBufferDC(const CBufferDC&) = delete;
  CBufferDC& operator=(const CBufferDC&) = delete;
  HDC Get() const { return mem_; }
  operator HDC() const { return mem_; }
  const RECT& Bounds() const { return bounds_; }
  // Enlarges the off-screen bitmap to cover `bounds`, keeping what was
  // drawn; a smaller rectangle changes nothing.
  void SetBoundsRect(const RECT& bounds);

 private:
  HWND hwnd_;
  fw::PaintDC paint_;
  RECT bounds_{};
  // Declared in this order so that, after the copy in the destructor, the
  // bitmap is deselected, then deleted, then the DC is deleted.
  fw::OwnedDC mem_;
  fw::OwnedBitmap bitmap_;
  fw::SelectGuard select_;
};

}  // namespace exmfc
