#pragma once
// Owners of the Windows handles the program holds, in two kinds as WTL has
// them: an owning wrapper that closes or deletes what it holds, and a
// borrowed one that never does. Registry keys have their own owner, RegKey,
// which also makes the calls on the key. Owners are movable, not copyable.

#include <windows.h>

#include <utility>

namespace RegCheck {

// A traits type tells how one kind of handle is closed and which value an
// empty owner holds:
//   using Type = ...;  static Type Invalid();  static bool IsValid(Type);
//   static void Close(Type);
template <class Traits>
class HandleOwner {
 public:
  using Type = typename Traits::Type;

  HandleOwner() = default;
  explicit HandleOwner(Type h) : h_(h) {}
  ~HandleOwner() { Reset(); }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
  HandleOwner(HandleOwner&& other) noexcept : h_(other.Release()) {}
  HandleOwner& operator=(HandleOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Type Get() const { return h_; }
  operator Type() const { return h_; }
  bool Valid() const { return Traits::IsValid(h_); }
  explicit operator bool() const { return Valid(); }
  // Closes the held handle, unless it is `h` itself, and takes `h`.
  void Reset(Type h = Traits::Invalid()) {
    if (Traits::IsValid(h_) && h_ != h) Traits::Close(h_);
    h_ = h;
  }
  // Gives up ownership without closing, e.g. of a region handed to
  // SetWindowRgn, which then belongs to the window.
  Type Release() { return std::exchange(h_, Traits::Invalid()); }

 private:
  Type h_ = Traits::Invalid();
};

// A handle someone else owns and closes: a font of a table, the DC a
// message hands over. Converts from the owner for calls that only use it.
template <class Traits>
class BorrowedHandle {
 public:
  using Type = typename Traits::Type;

  BorrowedHandle() = default;
  BorrowedHandle(Type h) : h_(h) {}
  BorrowedHandle(const HandleOwner<Traits>& owner) : h_(owner.Get()) {}

  Type Get() const { return h_; }
  operator Type() const { return h_; }
  bool Valid() const { return Traits::IsValid(h_); }

 private:
  Type h_ = Traits::Invalid();
};

// Kernel objects. Both null and INVALID_HANDLE_VALUE mean "no handle" (the
// latter is also the current process's pseudo handle, which is never
// closed); they differ in what an empty owner holds, so code comparing with
// the creating call's failure value keeps working.
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};

struct FileHandleTraits : KernelHandleTraits {
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
};

// A file search from FindFirstFile, ended with FindClose.
struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Type h) { FindClose(h); }
};

// Events, threads, mutexes: whatever answers null on failure.
using OwnedHandle = HandleOwner<KernelHandleTraits>;
// What CreateFile opens: INVALID_HANDLE_VALUE on failure.
using OwnedFile = HandleOwner<FileHandleTraits>;
using OwnedFind = HandleOwner<FindHandleTraits>;

// Handles that are null when there is none; the traits below add Close.
template <class H>
struct NullHandleTraits {
  using Type = H;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
};

// GDI objects (bitmap, brush, pen, font, region). Stock objects may be held
// too: DeleteObject ignores them.
template <class H>
struct GdiObjectTraits : NullHandleTraits<H> {
  static void Close(H h) { DeleteObject(h); }
};

using OwnedBitmap = HandleOwner<GdiObjectTraits<HBITMAP>>;
using OwnedBrush = HandleOwner<GdiObjectTraits<HBRUSH>>;
using OwnedPen = HandleOwner<GdiObjectTraits<HPEN>>;
using OwnedFont = HandleOwner<GdiObjectTraits<HFONT>>;
using OwnedRegion = HandleOwner<GdiObjectTraits<HRGN>>;
using BorrowedFont = BorrowedHandle<GdiObjectTraits<HFONT>>;

// A DC from CreateCompatibleDC or CreateDC. Whatever was selected into it
// must be put back first: declare the SelectGuard after the OwnedDC, so it
// goes first. A memory DC with its own bitmap is torn down in the order
// Windows needs (Wine forgives a wrong one): copy out, deselect, delete the
// bitmap, delete the DC; members declared DC, bitmap, guard give that.
struct DeletedDCTraits : NullHandleTraits<HDC> {
  static void Close(HDC h) { DeleteDC(h); }
};

using OwnedDC = HandleOwner<DeletedDCTraits>;

struct IconTraits : NullHandleTraits<HICON> {
  static void Close(HICON h) { DestroyIcon(h); }
};

struct MenuTraits : NullHandleTraits<HMENU> {
  static void Close(HMENU h) { DestroyMenu(h); }
};

using OwnedIcon = HandleOwner<IconTraits>;
using OwnedMenu = HandleOwner<MenuTraits>;

// The scope guards below stay where they are made: neither copied nor moved.

// A window's DC from GetDC, given back with ReleaseDC and the same window;
// a null window gives the screen DC.
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

// Selects an object into a DC and puts the previous one back when it goes;
// a null object selects nothing.
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

// A memory DC compatible with `reference` (the screen when null) with
// `bitmap` selected, for copying from or into the bitmap, which stays the
// caller's. The selection is undone before the DC is deleted.
class BitmapDC {
 public:
  BitmapDC(HDC reference, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(reference)), select_(dc_, dc_ ? bitmap : nullptr) {}
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  OwnedDC dc_;
  SelectGuard select_;
};

}  // namespace RegCheck
