#include "exmfc/DpiScale.h"

#include "framework/GdiObject.h"

namespace exmfc {

int ScreenDpi() {
  static const int dpi = [] {
    fw::ClientDC screen(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    return value > 0 ? value : USER_DEFAULT_SCREEN_DPI;
  }();
  return dpi;
}

int ScaleTo(int length, int dpi) { return MulDiv(length, dpi, USER_DEFAULT_SCREEN_DPI); }

RECT ScaleTo(const RECT& rect, int dpi) {
  // Edges, not sizes, are scaled: neighbours that touch at 96 DPI still
  // touch after rounding.
  return RECT{ScaleTo(rect.left, dpi), ScaleTo(rect.top, dpi), ScaleTo(rect.right, dpi),
              ScaleTo(rect.bottom, dpi)};
}

int Scale(int length) { return ScaleTo(length, ScreenDpi()); }

RECT Scale(const RECT& rect) { return ScaleTo(rect, ScreenDpi()); }

}  // namespace exmfc
