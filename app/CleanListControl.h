#pragma once
// The scan panel's list: one owner-drawn row per scan category with its
// tick box, label, scan status and "Details" button.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/RegistryAction.h"
#include "exmfc/SkinButton.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"

class CCleanListControl : public fw::CListBox {
 public:
  static constexpr int kRowCount = 10;
  static constexpr int kRowHeight = 21;

  // State of one row; attached to the row as its item data.
  struct Row {
    int ticked = 1;
    int scanned = 0;
    int totalErrors = 0;
    int selectedErrors = 0;
    exmfc::CSkinButton details;
  };

  CCleanListControl();
  ~CCleanListControl() override;

  // Creates the list with its ten rows and their hidden "Details" buttons.
  bool Create(const RECT& rect, HWND parent, UINT id);

  // Row of a category bit, or -1; category bit of a row, or 0.
  static int RowOfCategory(int bit);
  static int CategoryOfRow(int row);
  // Command id of a row's "Details" button, and the category a command id
  // opens (0 for other ids).
  static UINT DetailsCommandOfRow(int row);
  static int CategoryOfDetailsCommand(UINT id);

  // Row `index`, or null.
  Row* GetRow(int index) const;
  // The tick box of a row, in list client coordinates.
  RECT TickBoxRect(int index) const;
  // Where a row's label and status texts are drawn, in list client
  // coordinates. The label column is as wide as the widest label in the
  // list's font, so no label is cut; the status takes what is left.
  RECT LabelRect(int index) const;
  RECT StatusRect(int index) const;
  // The text a row's label shows ("&&" drawn as "&").
  static const char* LabelOf(int row);
  // Recounts total and selected errors per row from the result list,
  // repaints changed rows, re-places the "Details" buttons; returns the
  // number of selected errors.
  int RecountRows();
  // Shows each row's button where it belongs when the row has errors.
  void PlaceDetailsButtons();
  void RepaintRow(int index) const;
  // What the status column of a row shows: "Not Scanned", "No Errors" or
  // "(selected/total) Errors".
  std::string StatusText(int index) const;

  RegCheck::CActionList& GetResults() { return results_; }
  // The row the keyboard works on (framed while the list has the focus).
  int GetFocusRow() const { return focusRow_; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(DRAWITEMSTRUCT* item) override;
  void MeasureItem(MEASUREITEMSTRUCT* item) override;

 private:
  RECT DetailsButtonRect(int index) const;
  void ToggleTick(int index);
  // Moves the keyboard's row, repainting the rows it leaves and enters.
  void SetFocusRow(int index);
  bool OnKey(WPARAM key);

  fw::OwnedBrush background_;
  fw::OwnedIcon ticked_;
  fw::OwnedIcon unticked_;
  // Widest label in the row font, measured at creation.
  int labelWidth_ = 0;
  std::vector<std::unique_ptr<Row>> rows_;
  RegCheck::CActionList results_;
  int focusRow_ = 0;
};
