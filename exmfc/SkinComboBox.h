#pragma once
// A skinned drop-down list: the box shows the selected item, an arrow
// button opens a borderless top-most pop-up with the list (20-pixel rows at
// 96 DPI, at most five visible, a skinned scroll bar beyond that). The selection
// changes only when the user takes an item; Escape or focus moving away
// closes the pop-up and keeps the previous selection. With the focus (given
// by Tab when the box is a WS_TABSTOP, or by a click) the box is framed and
// the arrow keys, Home and End take another item at once; F4, Alt+Down or
// Alt+Up open the list, where Enter (or F4, Alt+Down, Alt+Up) takes the row
// and Esc keeps the old one.
// Rows and the pop-up's scroll bar grow with the screen's DPI.

#include <windows.h>

#include <string>

#include "exmfc/ScrollBarEx.h"
#include "exmfc/SkinButton.h"
#include "framework/Controls.h"

namespace exmfc {

class CSkinComboBox;

class ISkinComboBoxCallback {
 public:
  // The user took another item.
  virtual void OnSkinComboSelChange(CSkinComboBox* combo) = 0;

 protected:
  ~ISkinComboBoxCallback() = default;
};

class CPopupWnd;

// The list inside the pop-up; item data is the item's 16x16 icon.
class CPopupListBox : public fw::CListBox {
 public:
  static constexpr UINT kId = 117;
  explicit CPopupListBox(CPopupWnd* popup) : popup_(popup) {}

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(DRAWITEMSTRUCT* item) override;
  void MeasureItem(MEASUREITEMSTRUCT* item) override;

 private:
  CPopupWnd* popup_;
};

class CPopupWnd : public fw::CWnd {
 public:
  static constexpr int kMaxVisibleRows = 5;
  static constexpr int kRowHeight = 20;

  explicit CPopupWnd(CSkinComboBox* owner);
  // `scrollBarBitmaps` as for CScrollBarEx::Create.
  bool Create(HWND ownerWindow, UINT scrollBarBitmaps);
  // Sizes, places and shows the pop-up under `comboScreen` (1 pixel gap).
  void Open(const RECT& comboScreen);
  // Hides it; with `take` the list's current row becomes the selection.
  void Close(bool take);
  // Close, then the focus goes back to the box.
  void CloseFromKeyboard(bool take);
  bool IsOpen() const { return IsWindowVisible() != FALSE; }

  CPopupListBox& List() { return list_; }
  CScrollBarEx& ScrollBar() { return scroll_; }
  CSkinComboBox& Owner() const { return *owner_; }
  int GetSelected() const { return selected_; }
  void SetSelected(int index) { selected_ = index; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Layout();

  CSkinComboBox* owner_;
  CPopupListBox list_;
  CScrollBarEx scroll_;
  int selected_ = -1;
  bool closing_ = false;
};

class CSkinComboBox : public fw::CWnd {
 public:
  static constexpr UINT kArrowId = 116;
  static constexpr int kArrowWidth = 19;

  CSkinComboBox();
  ~CSkinComboBox() override;
  // Creates the box, its arrow button (skinned from `arrowBitmap` with
  // image set 0x07 when given) and its pop-up, whose scroll bar takes its
  // pieces from `scrollBarBitmaps` on (see CScrollBarEx::Create).
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, UINT arrowBitmap = 0,
              UINT scrollBarBitmaps = 0);

  // Adds an item at the end; returns its index.
  int AddItem(const char* text, HICON icon = nullptr);
  void ResetContent();
  int GetCount() const;
  std::string GetItemText(int index) const;
  int GetCurSel() const { return popup_.GetSelected(); }
  // Sets the selection without calling the callback.
  void SetCurSel(int index);
  // Move the selection by one (from none, next selects the first) and call
  // the callback when it moved.
  void SelectNext();
  void SelectPrevious();
  void SetIcon(HICON icon);
  // The font of the box's text and of the list's rows; the caller keeps it
  // alive. Until one is set the text is drawn in the DC's default font.
  void SetTextFont(HFONT font) { font_ = font; }
  HFONT TextFont() const { return font_; }
  void SetCallback(ISkinComboBoxCallback* callback) { callback_ = callback; }

  // Opens the drop-down, or closes it without changing the selection.
  void ToggleDropDown();
  CPopupWnd& Popup() { return popup_; }
  CSkinButton& ArrowButton() { return arrow_; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class CPopupWnd;
  void Paint(HDC dc);
  void SelectionTaken();
  // Arrows, Home and End; false for other keys.
  bool OnKey(WPARAM key);
  // Selects item `index` and calls the callback, unless it is selected
  // already or out of range.
  void TakeItem(int index);

  CPopupWnd popup_;
  CSkinButton arrow_;
  HICON icon_ = nullptr;  // borrowed
  fw::BorrowedFont font_;
  ISkinComboBoxCallback* callback_ = nullptr;
  UINT arrowBitmap_ = 0;
};

}  // namespace exmfc
