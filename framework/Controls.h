#pragma once
// Thin wrappers for the system controls the program uses. Each control's
// owner-draw and colour messages are reflected to it by its parent's CWnd,
// so a derived control draws itself by overriding DrawItem/MeasureItem.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Wnd.h"

namespace fw {

// Registers the common control classes (progress bar, date-time picker,
// tooltips) once per process.
void EnsureCommonControls();

class CButton : public CWnd {
 public:
  bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CWnd::Create("BUTTON", text, style, rect, parent, id);
  }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int state) const { SendMessage(BM_SETCHECK, state); }

 protected:
  // Owner-drawn buttons draw themselves here.
  virtual void DrawItem(DRAWITEMSTRUCT* item);
  bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CStatic : public CWnd {
 public:
  bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id = 0xFFFF) {
    return CWnd::Create("STATIC", text, style, rect, parent, id);
  }
  // Shows a bitmap the caller keeps owning (SS_BITMAP statics).
  void SetBitmap(HBITMAP bitmap) const {
    SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  }
};

class CListBox : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0) {
    return CWnd::CreateEx(exStyle, "LISTBOX", "", style, rect, parent, id);
  }
  // Index of the new line (its sorted place in an LBS_SORT list), or
  // LB_ERR / LB_ERRSPACE.
  int AddString(const char* text) const {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int InsertString(int index, const char* text) const {
    return static_cast<int>(
        SendMessage(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
  }
  int DeleteString(int index) const { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
  void ResetContent() const { SendMessage(LB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, index)); }
  DWORD_PTR GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, index));
  }
  int SetItemData(int index, DWORD_PTR data) const {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, index, static_cast<LPARAM>(data)));
  }
  // The line's text; empty for a bad index.
  std::string GetText(int index) const;
  int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
  int SetTopIndex(int index) const { return static_cast<int>(SendMessage(LB_SETTOPINDEX, index)); }
  int GetItemHeight(int index = 0) const {
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, index));
  }
  int SetItemHeight(int index, int height) const {
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, index, MAKELPARAM(height, 0)));
  }
  RECT GetItemRect(int index) const;
  // Index of the line under a client point, or -1 outside every line.
  int ItemFromPoint(POINT pt) const;
  int GetHorizontalExtent() const { return static_cast<int>(SendMessage(LB_GETHORIZONTALEXTENT)); }
  void SetHorizontalExtent(int width) const { SendMessage(LB_SETHORIZONTALEXTENT, width); }
  // Widens the horizontal extent to fit `text` in the list's font; never
  // narrows it. The width counts 2 pixels more with LBS_USETABSTOPS and 3
  // more otherwise, the margins the list box draws around its text.
  void FitHorizontalExtent(const char* text) const;

 protected:
  // Owner-drawn lists draw and measure their lines here.
  virtual void DrawItem(DRAWITEMSTRUCT* item);
  virtual void MeasureItem(MEASUREITEMSTRUCT* item);
  bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CProgressCtrl : public CWnd {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    EnsureCommonControls();
    return CWnd::Create(PROGRESS_CLASSA, "", style, rect, parent, id);
  }
  void SetRange(int low, int high) const { SendMessage(PBM_SETRANGE32, low, high); }
  void SetStep(int step) const { SendMessage(PBM_SETSTEP, step); }
  int StepIt() const { return static_cast<int>(SendMessage(PBM_STEPIT)); }
  int SetPos(int pos) const { return static_cast<int>(SendMessage(PBM_SETPOS, pos)); }
  int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CDateTimeCtrl : public CWnd {
 public:
  // DTS_TIMEFORMAT in `style` gives a time picker.
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    EnsureCommonControls();
    return CWnd::Create(DATETIMEPICK_CLASSA, "", style, rect, parent, id);
  }
  // GDT_VALID when `time` was filled; GDT_NONE or GDT_ERROR otherwise.
  DWORD GetTime(SYSTEMTIME& time) const {
    return static_cast<DWORD>(SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)));
  }
  bool SetTime(const SYSTEMTIME& time) const {
    return SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)) != 0;
  }
};

}  // namespace fw
