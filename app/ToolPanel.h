#pragma once
// The layout the three system tools share: a caption, a white frame around
// a sorted owner-drawn list of entries, and one or two skinned buttons under
// it that are enabled only while the list has lines. A tool panel derives
// from CToolPanel, owns its model and its list box, and adds one line per
// entry with the entry's address as the line's item data.

#include <windows.h>

#include <string>

#include "exmfc/ControlsHolder.h"
#include "exmfc/ShapeWnd.h"
#include "exmfc/SkinButton.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"

// A tool's list: 24-pixel lines drawn white (selected: RGB(119, 119, 119)
// with white text, framed while the list has the focus), the tool's 16x16
// icon at (3, 4) and the line's text from 26 pixels on. A tab stop: the
// arrows move the selection and Tab goes on to the panel's buttons.
class CToolListBox : public fw::CListBox {
 public:
  static constexpr int kItemHeight = 24;
  static constexpr int kIconLeft = 3;
  static constexpr int kTextLeft = 26;
  static constexpr COLORREF kNormalColour = RGB(255, 255, 255);
  static constexpr COLORREF kSelectedColour = RGB(119, 119, 119);
  static constexpr DWORD kStyle = WS_CHILD | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY |
                                  LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                  LBS_NOINTEGRALHEIGHT;

  // Loads icon resource `iconId` at 16x16 and makes the two line brushes.
  explicit CToolListBox(UINT iconId);
  // Destroys the window while the drawing resources still exist.
  ~CToolListBox() override;

  // Creates the list (control id 0) filling `frame`'s client area less 3
  // pixels on every side.
  bool Create(HWND frame);

  HICON GetIcon() const { return icon_.Get(); }

 protected:
  void DrawItem(DRAWITEMSTRUCT* item) override;
  // The item height is fixed at creation.
  void MeasureItem(MEASUREITEMSTRUCT*) override {}

 private:
  fw::OwnedIcon icon_;
  fw::OwnedBrush normal_;
  fw::OwnedBrush selected_;
};

class CToolPanel : public exmfc::CControlsHolder {
 public:
  struct Button {
    const char* text;  // null: no button in this place
    UINT id;
  };

  // Builds the controls as hidden children of `parent` (the work area) and
  // fills the list once.
  bool Create(HWND parent);

  // Answers a click of one of the panel's buttons; false for other ids.
  virtual bool OnCommand(UINT id) = 0;

  // Reads the entries again and rebuilds the list: the first line selected
  // and the buttons enabled, or the buttons disabled when nothing is listed.
  void FillList();

  fw::CListBox& GetList() { return list_; }
  fw::CStatic& GetCaption() { return caption_; }
  // Null for a place without a button.
  exmfc::CSkinButton* GetFirstButton() { return first_.text ? &firstButton_ : nullptr; }
  exmfc::CSkinButton* GetSecondButton() { return second_.text ? &secondButton_ : nullptr; }

 protected:
  CToolPanel(CToolListBox& list, const char* caption, Button first, Button second);

  // Every showing re-reads the registry, so the tool never shows a stale
  // list; hiding keeps nothing to save.
  BOOL OnShow() override;

  // Refreshes the model and adds its entries with AddLine.
  virtual void AddEntries() = 0;
  // Adds a line; the list sorts it into place and `entry` follows it.
  void AddLine(const std::string& text, const void* entry);

  // The selected line once the user answered Yes to `question` (a "Confirm"
  // box with Yes and No); -1 without asking when no line is selected, and
  // -1 on No. The box has no owner, so the program stays usable while it is
  // up: -1 too when the list was refilled or the line changed meanwhile,
  // since the answer was given about an entry that may be gone.
  int ConfirmSelectedLine(const char* question);
  const void* LineEntry(int line) const {
    return reinterpret_cast<const void*>(list_.GetItemData(line));
  }
  // Deletes a line, then selects the line above it (the new first line when
  // it was the first) or disables the buttons when the list is now empty.
  void DeleteLine(int line);
  // After the removal of the entry of `line`: deletes the line when
  // `removed`, else keeps it and tells the user in a "Varnholt" box what
  // could not be removed and why (the backup manager's reason).
  void FinishRemoval(int line, int removed);

 private:
  void EnableButtons(bool enable);

  CToolListBox& list_;
  // Counts the refills, which free the entries the lines point at.
  unsigned fills_ = 0;
  const char* captionText_;
  Button first_;
  Button second_;
  fw::CStatic caption_;
  exmfc::CShapeWnd frame_;
  exmfc::CSkinButton firstButton_;
  exmfc::CSkinButton secondButton_;
};
