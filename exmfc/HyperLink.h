#pragma once
// A static text that behaves as a web link: hover and pressed colours, the
// hand cursor, optional underline, and opening its target on a click. As a
// WS_TABSTOP it is framed while it has the focus and Space or Enter opens
// the target as a click does.

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "exmfc/ToolTip.h"
#include "framework/GdiObject.h"

namespace exmfc {

class CHyperLink : public fw::CStatic {
 public:
  enum State { kNormal = 0, kHover, kPressed, kDisabled, kStateCount };

  CHyperLink();
  // Creates the link with SS_NOTIFY so it gets mouse messages.
  bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id);

  void SetTarget(const char* target) { target_ = target ? target : ""; }
  const std::string& GetTarget() const { return target_; }
  void SetColours(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF background);
  void SetBackground(COLORREF background);
  // A borrowed 16x16 icon drawn at the left for a state.
  void SetIcon(State state, HICON icon) { icons_[state] = icon; }
  void SetUnderline(bool on) { underline_ = on; }
  void SetOpenOnClick(bool on) { openOnClick_ = on; }
  void SetTooltipText(const char* text);

  bool IsHover() const { return hover_; }
  HFONT Font() const { return font_.Get(); }
  // The colour the current state draws its text in.
  COLORREF CurrentTextColour() const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Opens the target (ShellExecuteA "open", SW_SHOWDEFAULT).
  virtual void OpenTarget();

 private:
  void Paint();

  std::string target_;
  COLORREF normal_ = 0xFF0000, hover_colour_ = 0x0000FF, pressed_colour_ = 0xE100C8;
  COLORREF background_;
  fw::OwnedFont font_;
  HCURSOR hand_;
  HCURSOR previousCursor_ = nullptr;
  CToolTip tooltip_;
  HICON icons_[kStateCount] = {};
  bool underline_ = true;
  bool openOnClick_ = true;
  bool hover_ = false;
  bool pressed_ = false;
};

}  // namespace exmfc
