#pragma once
// A tooltip over the whole client area of one control: created on first
// use as a child of the control (so it is destroyed with it), fed the
// control's mouse messages.

#include <windows.h>

#include <string>

namespace exmfc {

class CToolTip {
 public:
  // Creates the tooltip on first use, or changes its text.
  void SetText(HWND owner, const char* text);
  // Hands a mouse message of the owner on; others are ignored.
  void Relay(HWND owner, UINT msg, WPARAM wParam, LPARAM lParam) const;
  HWND GetHwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
  std::string text_;
};

}  // namespace exmfc
