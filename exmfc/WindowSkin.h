#pragma once
// CWindowSkin<T> adds a bitmap skin to a window class T (fw::CDialog,
// fw::CFrameWnd): the skin stretched to the client size as background, the
// window's shape cut out along a key colour, dragging by a caption
// rectangle, the system menu, a cursor, and static children drawn over the
// skin.
//
// Lifecycle: InitSkin runs at WM_CREATE, before anything is drawn; the
// window image, background brush and region are rebuilt on every WM_SIZE.
// Skins are drawn for 96 DPI: above that, RenderSkin draws at the window's
// size in 96-DPI pixels and the image and region are stretched to the
// window, so the skin grows with the layout instead of only its middle.
// The skin owns its bitmaps, brush and title font; a region handed to the
// window belongs to the window.

#include <windows.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "exmfc/DpiScale.h"
#include "exmfc/FontTable.h"
#include "exmfc/SkinDraw.h"
#include "exmfc/SystemMenu.h"
#include "framework/GdiObject.h"

namespace exmfc {

template <class T>
class CWindowSkin : public T {
 public:
  // `skinBitmap`: bitmap resource of the program, 0 for none. The other
  // arguments go to T's constructor.
  template <class... Args>
  explicit CWindowSkin(UINT skinBitmap, Args&&... args) : T(std::forward<Args>(args)...) {
    if (skinBitmap)
      skin_.Reset(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(skinBitmap)));
  }

  // Replaces the skin bitmap with one the skin then owns.
  void SetSkinBitmap(HBITMAP bitmap) { skin_.Reset(bitmap); }

  // Renders the window image again and recuts the region.
  void RebuildSkin();

  HBITMAP WindowImage() const { return image_.Get(); }
  HBITMAP SkinBitmap() const { return skin_.Get(); }
  HBRUSH BackgroundBrush() const { return brush_.Get(); }
  HFONT TitleFont() const { return titleFont_.Get(); }
  bool IsDragging() const { return dragging_; }

 protected:
  // 1. Sets the skin values; called at WM_CREATE. Does nothing here.
  virtual void InitSkin() {}
  // 2. Copies the window image to `dc` at (0, 0), client size.
  virtual void PaintBackground(HDC dc);
  // 3. Draws the skin over `rect` (96-DPI pixels): nine-slice, icon, title.
  virtual void RenderSkin(HDC dc, const RECT& rect);
  // 4-11. Message handlers; each returns whether it handled the message.
  virtual bool OnSkinLButtonDown(UINT flags, POINT pt);
  virtual bool OnSkinRButtonDown(UINT flags, POINT pt);
  virtual bool OnSkinLButtonUp(UINT flags, POINT pt);
  virtual bool OnSkinMouseMove(UINT flags, POINT pt);
  virtual bool OnSkinCaptureChanged(HWND gaining);
  virtual bool OnSkinSysCommand(UINT command, LPARAM lParam);
  virtual bool OnSkinSetCursor(HWND over, UINT hitTest, UINT message);
  // Brush for a static child; also aligns the brush with the skin.
  virtual HBRUSH OnSkinCtlColor(HDC dc, HWND child);

  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Replaces the title font with a copy of `font` (the skin owns the copy).
  void SetTitleFontCopy(HFONT font);

  // Skin settings, set in InitSkin.
  SliceSizes slices_;
  bool regionOn_ = false;
  COLORREF keyColour_ = 0xFFFFFF;
  COLORREF ctlBkColour_ = 0xFFFFFF;
  COLORREF ctlTextColour_ = 0;
  RECT captionRect_{};
  RECT sysMenuRect_{};
  HICON icon_ = nullptr;      // borrowed
  HCURSOR cursor_ = nullptr;  // borrowed (shared cursors are never destroyed)
  RECT titleRect_{};
  std::string titleText_;
  COLORREF titleColour_ = 0xFFFFFF;
  POINT sysMenuPoint_{0, 0};

 private:
  static POINT PointFrom(LPARAM l) { return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}; }

  fw::OwnedBitmap image_;
  fw::OwnedBitmap skin_;
  fw::OwnedBrush brush_;
  fw::OwnedFont titleFont_;
  bool dragging_ = false;
  POINT dragOffset_{0, 0};
};

template <class T>
void CWindowSkin<T>::RebuildSkin() {
  RECT client = this->GetClientRect();
  if (client.right <= 0 || client.bottom <= 0) return;
  image_.Reset();
  const int dpi = ScreenDpi();
  const RECT base = {0, 0, MulDiv(client.right, USER_DEFAULT_SCREEN_DPI, dpi),
                     MulDiv(client.bottom, USER_DEFAULT_SCREEN_DPI, dpi)};
  if (base.right <= 0 || base.bottom <= 0) return;
  fw::OwnedBitmap baseImage;
  {
    fw::ClientDC screen(nullptr);
    baseImage.Reset(CreateBitmap(base.right, base.bottom, GetDeviceCaps(screen, PLANES),
                                 GetDeviceCaps(screen, BITSPIXEL), nullptr));
    if (!baseImage) return;
    fw::BitmapDC mem(screen, baseImage);
    RenderSkin(mem, base);
  }
  const bool scaled = dpi != USER_DEFAULT_SCREEN_DPI;
  if (scaled)
    image_.Reset(StretchedCopy(baseImage, client.right, client.bottom));
  else
    image_ = std::move(baseImage);
  if (!image_) return;
  brush_.Reset(CreatePatternBrush(image_));
  if (regionOn_) {
    // Cut from the unstretched image: stretching blends the key colour
    // into the edge pixels, which would then stay in the shape.
    fw::OwnedRegion region(BitmapToRegion(scaled ? baseImage.Get() : image_.Get(), keyColour_, 0));
    if (region && scaled) region.Reset(ScaleRegion(region, dpi));
    // The window owns the region it takes; on failure it keeps its previous
    // shape and the region is ours to delete.
    if (region && SetWindowRgn(this->GetHwnd(), region, TRUE)) region.Release();
  }
}

template <class T>
void CWindowSkin<T>::PaintBackground(HDC dc) {
  if (!image_) return;
  RECT client = this->GetClientRect();
  fw::BitmapDC mem(dc, image_);
  BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
}

template <class T>
void CWindowSkin<T>::RenderSkin(HDC dc, const RECT& rect) {
  if (skin_) DrawNineSlice(dc, skin_, slices_, rect);
  if (icon_) DrawIconEx(dc, sysMenuRect_.left, sysMenuRect_.top, icon_, 16, 16, 0, nullptr, DI_NORMAL);
  if (!titleText_.empty()) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, titleColour_);
    fw::SelectGuard font(dc, titleFont_.Get());
    RECT r = titleRect_;
    DrawTextA(dc, titleText_.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER);
  }
}

template <class T>
void CWindowSkin<T>::SetTitleFontCopy(HFONT font) {
  titleFont_.Reset();
  titleFont_.Reset(CopyFont(font));
}

template <class T>
bool CWindowSkin<T>::OnSkinLButtonDown(UINT, POINT pt) {
  if (!dragging_ && PtInRect(&captionRect_, pt)) {
    dragging_ = true;
    dragOffset_ = pt;
    SetCapture(this->GetHwnd());
    return true;
  }
  if (PtInRect(&sysMenuRect_, pt)) OpenSystemMenu(this->GetHwnd(), sysMenuPoint_);
  return false;
}

template <class T>
bool CWindowSkin<T>::OnSkinRButtonDown(UINT, POINT pt) {
  if (dragging_) return true;
  if (PtInRect(&captionRect_, pt)) {
    OpenSystemMenu(this->GetHwnd(), pt);
    return true;
  }
  return false;
}

template <class T>
bool CWindowSkin<T>::OnSkinLButtonUp(UINT, POINT) {
  if (dragging_) {
    dragging_ = false;
    ReleaseCapture();
  }
  return false;
}

template <class T>
bool CWindowSkin<T>::OnSkinMouseMove(UINT, POINT) {
  if (!dragging_) return false;
  POINT cursor;
  GetCursorPos(&cursor);
  SetWindowPos(this->GetHwnd(), nullptr, cursor.x - dragOffset_.x, cursor.y - dragOffset_.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

template <class T>
bool CWindowSkin<T>::OnSkinCaptureChanged(HWND) {
  dragging_ = false;
  return false;
}

template <class T>
bool CWindowSkin<T>::OnSkinSysCommand(UINT command, LPARAM) {
  if ((command & 0xFFF0) == SC_KEYMENU) {
    OpenSystemMenu(this->GetHwnd(), sysMenuPoint_);
    return true;
  }
  return false;
}

template <class T>
bool CWindowSkin<T>::OnSkinSetCursor(HWND, UINT, UINT) {
  if (!cursor_) return false;
  SetCursor(cursor_);
  return true;
}

template <class T>
HBRUSH CWindowSkin<T>::OnSkinCtlColor(HDC dc, HWND child) {
  if (child && child != this->GetHwnd()) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, this->GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ctlTextColour_);
  return brush_.Get();
}

template <class T>
LRESULT CWindowSkin<T>::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      InitSkin();
      break;
    case WM_SIZE:
      RebuildSkin();
      break;
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_LBUTTONDOWN:
      if (OnSkinLButtonDown(static_cast<UINT>(wParam), PointFrom(lParam))) return 1;
      break;
    case WM_RBUTTONDOWN:
      if (OnSkinRButtonDown(static_cast<UINT>(wParam), PointFrom(lParam))) return 1;
      break;
    case WM_LBUTTONUP:
      if (OnSkinLButtonUp(static_cast<UINT>(wParam), PointFrom(lParam))) return 1;
      break;
    case WM_MOUSEMOVE:
      if (OnSkinMouseMove(static_cast<UINT>(wParam), PointFrom(lParam))) return 1;
      break;
    case WM_CAPTURECHANGED:
      if (OnSkinCaptureChanged(reinterpret_cast<HWND>(lParam))) return 1;
      break;
    case WM_SYSCOMMAND:
      if (OnSkinSysCommand(static_cast<UINT>(wParam), lParam)) return 1;
      break;
    case WM_SETCURSOR:
      if (OnSkinSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))) return 1;
      break;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, ctlBkColour_);
      SetTextColor(dc, ctlTextColour_);
      return reinterpret_cast<LRESULT>(OnSkinCtlColor(dc, reinterpret_cast<HWND>(lParam)));
    }
    default:
      break;
  }
  return T::WindowProc(msg, wParam, lParam);
}

}  // namespace exmfc
