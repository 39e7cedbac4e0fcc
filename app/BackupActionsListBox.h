#pragma once
// The restore panel's list: one sorted, owner-drawn 24-pixel row per
// recorded deletion of a backup session, with a tick square the user
// toggles by clicking it or with Space on the selected row. Rows are drawn
// white, the selected one grey and framed while the list has the focus.

#include <windows.h>

#include <memory>
#include <vector>

#include "backup/RegistryOperation.h"
#include "exmfc/ScrollBarEx.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"

class CBackupActionsListBox : public fw::CListBox {
 public:
  static constexpr int kRowHeight = 24;
  static constexpr int kTickInset = 4;
  static constexpr int kItemIconLeft = 24;  // right of the tick square
  static constexpr int kTextLeft = kItemIconLeft + 21;
  static constexpr COLORREF kSelectedColour = RGB(119, 119, 119);

  // A row's record, attached to the row as its item data.
  struct Row {
    int ticked = 0;
    RegCheck::IRegistryOperation* operation = nullptr;  // borrowed from its session
  };

  CBackupActionsListBox();
  ~CBackupActionsListBox() override;

  bool Create(const RECT& rect, HWND parent, UINT id);
  // The skinned bar that scrolls this list; kept in step with the list.
  void SetScrollBar(exmfc::CScrollBarEx* bar) { bar_ = bar; }

  // Removes every row and frees its record.
  void RemoveAll();
  // Adds a row with the operation's description, unticked; returns the
  // row's sorted index, or -1 when the list refused it.
  int AddOperation(RegCheck::IRegistryOperation* operation);

  // The record of row `index`, or null.
  Row* GetRow(int index) const;
  // The tick square of a row in list client coordinates: the row's left
  // square, 4 pixels in on every side.
  RECT TickBoxRect(int index) const;
  void SetTicked(int index, int ticked);
  void ToggleTick(int index);
  void TickAll();
  int TickedCount() const;
  void RepaintTickBox(int index) const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(DRAWITEMSTRUCT* item) override;
  void MeasureItem(MEASUREITEMSTRUCT* item) override;

 private:
  void UpdateScrollBar() const;

  fw::OwnedBrush background_;
  fw::OwnedBrush selected_;
  fw::OwnedIcon ticked_;
  fw::OwnedIcon unticked_;
  fw::OwnedIcon itemIcon_;
  std::vector<std::unique_ptr<Row>> rows_;
  exmfc::CScrollBarEx* bar_ = nullptr;
};
