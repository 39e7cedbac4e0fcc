#pragma once
// Device-context utilities of the skin.

#include <windows.h>

namespace exmfc {

// A DC compatible with `dc` (the screen when null) with `bitmap` selected;
// the previous selection is restored and the DC deleted when it goes away.
// The bitmap stays the caller's.
class CCompatibleDC {
 public:
  CCompatibleDC(HDC dc, HBITMAP bitmap);
  ~CCompatibleDC();
  CCompatibleDC(const CCompatibleDC&) = delete;
  CCompatibleDC& operator=(const CCompatibleDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

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
  PAINTSTRUCT ps_{};
  HDC paint_;
  HDC mem_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  RECT bounds_{};
};

}  // namespace exmfc
