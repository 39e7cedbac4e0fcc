#pragma once
// The details dialog's list: one owner-drawn row per found error of a
// category, with a tick box that selects the error for repair. The selected
// row is drawn grey and framed while the list has the focus; Space ticks it.

#include <windows.h>

#include "engine/RegistryAction.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"

class CDetailsListControl : public fw::CListBox {
 public:
  static constexpr int kRowHeight = 24;
  static constexpr COLORREF kSelectedColour = RGB(119, 119, 119);

  CDetailsListControl();

  bool Create(const RECT& rect, HWND parent, UINT id);
  // Adds a row for `action` (not owned) and widens the horizontal extent to
  // its text.
  int AddAction(RegCheck::CRegistryAction* action);
  // The action of a row, or null.
  RegCheck::CRegistryAction* GetAction(int index) const;
  // Sets or clears the mark of every row's action and repaints.
  void SelectAll(bool select);
  RECT TickBoxRect(int index) const;
  // Flips the mark of a row's action and repaints the row.
  void ToggleTick(int index);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(DRAWITEMSTRUCT* item) override;
  void MeasureItem(MEASUREITEMSTRUCT* item) override;

 private:
  fw::OwnedBrush background_;
  fw::OwnedBrush selected_;
  fw::OwnedIcon ticked_;
  fw::OwnedIcon unticked_;
};
