#include "app/PanelLook.h"

#include "app/AppFonts.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

exmfc::ShapeStyle ListFrameStyle() {
  exmfc::ShapeStyle style;
  style.fillColour = RGB(255, 255, 255);
  style.frameColour = RGB(240, 240, 240);
  style.frameWidth = 2;
  style.mask = exmfc::SHAPE_FILL | exmfc::SHAPE_FRAME | exmfc::SHAPE_FRAME_WIDTH;
  return style;
}

bool MakeSkinButton(exmfc::CSkinButton& button, const char* text, const RECT& rect, HWND parent,
                    UINT id, DWORD style) {
  if (!button.Create(text, WS_CHILD | WS_TABSTOP | style, exmfc::Scale(rect), parent, id))
    return false;
  // The focus frame shows where Space will press.
  button.SetSkin(IDB_BUTTON, SKINSET_NPHD, SKINW_BUTTON, 0, 0, 0, 3);
  button.SetFont(GetAppFont(AppFont::kButton));
  return true;
}

void DrawListRowText(const DRAWITEMSTRUCT& item, const RECT& text, const std::string& content) {
  HDC dc = item.hDC;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (item.itemState & ODS_SELECTED) ? RGB(255, 255, 255) : RGB(0, 0, 0));
  fw::SelectGuard font(dc, GetAppFont(AppFont::kList));
  RECT area = text;
  DrawTextA(dc, content.c_str(), -1, &area,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}
