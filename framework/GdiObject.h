#pragma once
// RAII wrappers for GDI objects and device contexts. Owning wrappers delete
// what they hold; borrowed handles are plain HGDIOBJ values and never are.

#include <windows.h>

#include <utility>

namespace fw {

// Owns one GDI object (bitmap, brush, pen, font, region) and deletes it.
// Stock objects may be held too: DeleteObject ignores them.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& o) noexcept : h_(o.Release()) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }

  H Get() const { return h_; }
  operator H() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // Deletes the held object and takes `h` instead.
  void Reset(H h = nullptr) {
    if (h_ && h_ != h) DeleteObject(h_);
    h_ = h;
  }
  // Gives up ownership, e.g. of a region handed to SetWindowRgn.
  H Release() { return std::exchange(h_, nullptr); }

 private:
  H h_ = nullptr;
};

using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedPen = GdiObject<HPEN>;
using OwnedFont = GdiObject<HFONT>;
using OwnedRegion = GdiObject<HRGN>;

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A DC from CreateCompatibleDC, deleted on scope exit. Whatever was selected
// into it must be deselected first (SelectGuard declared after this object).
class OwnedDC {
 public:
  OwnedDC() = default;
  explicit OwnedDC(HDC dc) : dc_(dc) {}
  ~OwnedDC() {
    if (dc_) DeleteDC(dc_);
  }
  OwnedDC(const OwnedDC&) = delete;
  OwnedDC& operator=(const OwnedDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HDC dc_ = nullptr;
};

// GetDC/ReleaseDC pair; a null window gives the screen DC.
class ClientDC {
 public:
  explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ClientDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint/EndPaint pair for WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }
  const PAINTSTRUCT& Info() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// An off-screen bitmap of the given size selected into a compatible DC.
// Teardown runs in the order Windows requires: deselect the bitmap, delete
// it, delete the DC. Copy out (BitBlt from Get()) before it goes away.
class MemoryDC {
 public:
  MemoryDC(HDC reference, int width, int height);
  ~MemoryDC();
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  // False when the DC or the bitmap could not be made.
  bool Ok() const { return dc_ && bitmap_; }
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int width_;
  int height_;
};

// Owning wrappers for the non-GDI handles the windows keep.
class OwnedIcon {
 public:
  OwnedIcon() = default;
  explicit OwnedIcon(HICON h) : h_(h) {}
  ~OwnedIcon() { Reset(); }
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  HICON Get() const { return h_; }
  operator HICON() const { return h_; }
  void Reset(HICON h = nullptr) {
    if (h_ && h_ != h) DestroyIcon(h_);
    h_ = h;
  }

 private:
  HICON h_ = nullptr;
};

class OwnedMenu {
 public:
  explicit OwnedMenu(HMENU h) : h_(h) {}
  ~OwnedMenu() {
    if (h_) DestroyMenu(h_);
  }
  OwnedMenu(const OwnedMenu&) = delete;
  OwnedMenu& operator=(const OwnedMenu&) = delete;
  HMENU Get() const { return h_; }
  operator HMENU() const { return h_; }

 private:
  HMENU h_;
};

// A kernel handle closed with CloseHandle.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE h) : h_(h) {}
  ~OwnedHandle() { Reset(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(HANDLE h = nullptr) {
    if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = h;
  }

 private:
  HANDLE h_ = nullptr;
};

}  // namespace fw
