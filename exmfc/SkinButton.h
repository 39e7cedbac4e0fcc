#pragma once
// A push button, check box or radio button drawn from a horizontal strip of
// state images, with hover tracking. The window is made owner-drawn; the
// check state lives in the object (BM_SETCHECK/BM_GETCHECK).

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "exmfc/ToolTip.h"
#include "framework/GdiObject.h"

namespace exmfc {

// Image-set bits of a strip, in strip order from the left.
enum : int {
  SKIN_NORMAL = 0x01,
  SKIN_PRESSED = 0x02,
  SKIN_HOVER = 0x04,
  SKIN_DISABLED = 0x08,
  SKIN_FOCUSED = 0x10,
};

// Sent to the other buttons of a radio button's group when it gets checked.
constexpr UINT WM_SKIN_UNCHECK = WM_USER + 0x100;

class CSkinButton : public fw::CButton {
 public:
  enum Kind { kPush = 0, kCheckBox = 2, kRadio = 4 };
  enum Image { kNormal = 0, kPressed, kHover, kDisabled, kFocused, kImageCount };

  CSkinButton();

  // BS_AUTOCHECKBOX gives a check box, BS_AUTORADIOBUTTON a radio button,
  // anything else a push button.
  bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id);

  // Loads the strip resource and cuts it into images of `width`; see
  // SetSkinStrip. A missing resource leaves every image empty.
  void SetSkin(UINT bitmapId, int imageSet, int width, COLORREF key = 0, int drawMode = 0,
               int edge = 0, int focusInset = 0);
  // The same from a strip bitmap the caller keeps owning.
  void SetSkinStrip(HBITMAP strip, int imageSet, int width, COLORREF key = 0, int drawMode = 0,
                    int edge = 0, int focusInset = 0);
  // Creates the tooltip on first use, or changes its text.
  void SetTooltipText(const char* text);
  void SetTextColours(COLORREF normal, COLORREF hover, COLORREF pressed);
  void SetDisabledTextColour(COLORREF colour) {
    disabledColour_ = colour;
    ownDisabledColour_ = true;
  }
  // Where image resources are looked up (the program's module by default).
  void SetResourceModule(HMODULE module) { module_ = module; }

  int GetKind() const { return kind_; }
  bool IsPressed() const { return pressed_; }
  bool IsHover() const { return hover_; }
  HBITMAP GetImage(Image which) const { return images_[which].Get(); }
  HWND GetTooltip() const { return tooltip_.GetHwnd(); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void PreSubclassWindow() override;
  void DrawItem(DRAWITEMSTRUCT* item) override;

 private:
  bool CursorOverMe() const;
  void ToggleFromUser();
  void UncheckGroup();
  void DrawImage(HDC dc, Image which, const RECT& rect) const;

  bool pressed_ = false;
  bool checked_ = false;
  bool hover_ = false;
  bool creating_ = false;
  int kind_ = kPush;
  int drawMode_ = 0;
  int edge_ = 1;
  int focusInset_ = 0;
  int imageWidth_ = 0;
  COLORREF key_ = 0xFFFFFF;
  COLORREF normalColour_, hoverColour_, pressedColour_;
  COLORREF disabledColour_ = RGB(85, 85, 85);
  bool ownDisabledColour_ = false;
  HMODULE module_ = GetModuleHandleA(nullptr);
  CToolTip tooltip_;
  fw::OwnedBitmap images_[kImageCount];
};

}  // namespace exmfc
