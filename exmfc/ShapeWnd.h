#pragma once
// A child window that paints a rectangle, rounded rectangle or ellipse with
// a frame, and optionally a line of text; used as the frame around lists.
// Controls placed inside it behave as if they were children of its parent.

#include <windows.h>

#include "framework/Wnd.h"

namespace exmfc {

enum : DWORD {
  SHAPE_FONT = 0x001,
  SHAPE_FILL = 0x002,
  SHAPE_FRAME = 0x004,
  SHAPE_FRAME_WIDTH = 0x008,
  SHAPE_BRUSH = 0x010,
  SHAPE_HATCH = 0x020,
  SHAPE_PEN_STYLE = 0x040,
  SHAPE_TEXT = 0x080,
  SHAPE_ALIGN = 0x100,
};

// The look of a CShapeWnd; a field is used only when its mask bit is set.
struct ShapeStyle {
  COLORREF fillColour = 0;   // 0x002, else the system window colour
  COLORREF frameColour = 0;  // 0x004, else the system window-text colour
  COLORREF textColour = 0;   // 0x080, else the system window-text colour
  DWORD frameWidth = 0;      // 0x008, else 1
  HBRUSH brush = nullptr;    // 0x010, a ready brush used instead of the fill
  DWORD hatchStyle = 0;      // 0x020, hatched fill
  DWORD penStyle = 0;        // 0x040, frame pen style
  HFONT font = nullptr;      // 0x001, else the DC's font
  DWORD mask = 0;
  DWORD textAlign = 2;       // 0x100: 0 left, 1 right, other centre
};
#ifndef _WIN64
static_assert(sizeof(ShapeStyle) == 40, "ten 32-bit values");
#endif

class CShapeWnd : public fw::CWnd {
 public:
  enum Shape { kRectangle = 0, kRoundRect = 1, kEllipse = 2 };

  bool Create(int shape, DWORD style, const RECT& rect, HWND parent, UINT id);
  // Copies the style and repaints.
  void SetShapeStyle(const ShapeStyle& style);
  const ShapeStyle& GetShapeStyle() const { return style_; }
  int GetShape() const { return shape_; }
  // Whether child notifications and colour requests go on to the parent.
  void SetForwarding(bool on) { forward_ = on; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);

  ShapeStyle style_;
  int shape_ = kRectangle;
  bool forward_ = true;
};

}  // namespace exmfc
