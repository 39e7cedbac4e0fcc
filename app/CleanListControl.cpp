#include "app/CleanListControl.h"

#include <algorithm>
#include <cstdio>

#include "app/AppFonts.h"
#include "engine/ScanCategories.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

struct RowInfo {
  const char* label;
  UINT command;
  int bit;
};

// The rows in list order. "&&" is drawn as "&" (DrawText without
// DT_NOPREFIX).
const RowInfo kRows[CCleanListControl::kRowCount] = {
    {"COM objects entries", IDC_DETAILS_COM, RegCheck::kCatComObject},
    {"Application && Installer paths entries", IDC_DETAILS_APPPATH, RegCheck::kCatAppPath},
    {"File associations entries", IDC_DETAILS_FILEASSOC, RegCheck::kCatFileAssociation},
    {"Shared DLLs entries", IDC_DETAILS_SHAREDDLL, RegCheck::kCatSharedDll},
    {"Services && Drivers entries", IDC_DETAILS_SERVICES, RegCheck::kCatServices},
    {"Windows Fonts entries", IDC_DETAILS_FONTS, RegCheck::kCatFonts},
    {"Help files entries", IDC_DETAILS_HELPFILES, RegCheck::kCatHelpFiles},
    {"Startup programs entries", IDC_DETAILS_STARTUP, RegCheck::kCatStartup},
    {"Uninstall entries", IDC_DETAILS_UNINSTALL, RegCheck::kCatUninstall},
    {"MRU && History entries", IDC_DETAILS_HISTORY, RegCheck::kCatHistory},
};

constexpr COLORREF kLineColour = 0xCCCCCC;
constexpr COLORREF kNotScannedColour = 0xBBBBBB;
constexpr COLORREF kErrorsColour = RGB(255, 32, 0);
constexpr COLORREF kNoErrorsColour = RGB(0, 221, 0);
// Row geometry in 96-DPI pixels: the least label column width, the tick
// box's and the "Details" button's place, the gaps around the divider line.
constexpr int kDividerOffset = 235;
constexpr int kTickInset = 4;
constexpr int kLabelGap = 6;
constexpr int kStatusGap = 6;
constexpr int kDetailsInset = 5;
constexpr int kDetailsSide = 13;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;

HICON LoadSmallIcon(UINT id) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

}  // namespace

CCleanListControl::CCleanListControl()
    : background_(CreateSolidBrush(RGB(255, 255, 255))),
      ticked_(LoadSmallIcon(IDI_TICKED)),
      unticked_(LoadSmallIcon(IDI_UNTICKED)) {}

CCleanListControl::~CCleanListControl() {
  // The buttons are children of the list: destroy the list while the rows
  // (and so the button objects) still exist.
  DestroyWindow();
}

int CCleanListControl::RowOfCategory(int bit) {
  for (int i = 0; i < kRowCount; ++i)
    if (kRows[i].bit == bit) return i;
  return -1;
}

int CCleanListControl::CategoryOfRow(int row) {
  return row >= 0 && row < kRowCount ? kRows[row].bit : 0;
}

UINT CCleanListControl::DetailsCommandOfRow(int row) {
  return row >= 0 && row < kRowCount ? kRows[row].command : 0;
}

int CCleanListControl::CategoryOfDetailsCommand(UINT id) {
  for (const RowInfo& row : kRows)
    if (row.command == id) return row.bit;
  return 0;
}

bool CCleanListControl::Create(const RECT& rect, HWND parent, UINT id) {
  const DWORD style = WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                      LBS_NOINTEGRALHEIGHT | LBS_NOSEL | WS_TABSTOP;
  if (!CListBox::Create(style, rect, parent, id)) return false;
  SetItemHeight(0, exmfc::Scale(kRowHeight));
  {
    fw::ClientDC dc(GetHwnd());
    fw::SelectGuard font(dc, GetAppFont(AppFont::kList));
    for (const RowInfo& info : kRows) {
      RECT r = {0, 0, 0, 0};
      DrawTextA(dc, info.label, -1, &r, DT_SINGLELINE | DT_CALCRECT);
      labelWidth_ = std::max<int>(labelWidth_, r.right);
    }
  }
  for (int i = 0; i < kRowCount; ++i) {
    auto row = std::make_unique<Row>();
    int index = AddString(kRows[i].label);
    if (index < 0) return false;
    RECT none = {0, 0, exmfc::Scale(kDetailsSide), exmfc::Scale(kDetailsSide)};
    if (!row->details.Create("", WS_CHILD, none, GetHwnd(), kRows[i].command)) return false;
    row->details.SetSkin(IDB_DETAILS, SKINSET_NPH, SKINW_DETAILS);
    row->details.SetTooltipText("Details");
    SetItemData(index, reinterpret_cast<DWORD_PTR>(row.get()));
    rows_.push_back(std::move(row));
  }
  PlaceDetailsButtons();
  return true;
}

CCleanListControl::Row* CCleanListControl::GetRow(int index) const {
  if (index < 0 || index >= static_cast<int>(rows_.size())) return nullptr;
  return rows_[static_cast<size_t>(index)].get();
}

RECT CCleanListControl::TickBoxRect(int index) const {
  RECT item = GetItemRect(index);
  int side = item.bottom - item.top;
  RECT box = {item.left, item.top, item.left + side, item.bottom};
  InflateRect(&box, -exmfc::Scale(kTickInset), -exmfc::Scale(kTickInset));
  return box;
}

const char* CCleanListControl::LabelOf(int row) {
  return row >= 0 && row < kRowCount ? kRows[row].label : "";
}

RECT CCleanListControl::LabelRect(int index) const {
  RECT item = GetItemRect(index);
  const int left = TickBoxRect(index).right + exmfc::Scale(kLabelGap);
  const int divider = std::max<int>(item.left + exmfc::Scale(kDividerOffset),
                                    left + labelWidth_ + exmfc::Scale(kLabelGap) / 2);
  return RECT{left, item.top, divider, item.bottom};
}

RECT CCleanListControl::StatusRect(int index) const {
  RECT item = GetItemRect(index);
  const int side = item.bottom - item.top;
  return RECT{LabelRect(index).right + exmfc::Scale(kStatusGap), item.top, item.right - side,
              item.bottom};
}

RECT CCleanListControl::DetailsButtonRect(int index) const {
  RECT item = GetItemRect(index);
  int side = item.bottom - item.top;
  RECT square = {item.right - side, item.top, item.right, item.bottom};
  square.left += exmfc::Scale(kDetailsInset);
  square.top += exmfc::Scale(kDetailsInset);
  const int details = exmfc::Scale(kDetailsSide);
  return RECT{square.left, square.top, square.left + details, square.top + details};
}

void CCleanListControl::PlaceDetailsButtons() {
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    Row* row = rows_[static_cast<size_t>(i)].get();
    if (!row->details.GetHwnd()) continue;
    row->details.MoveWindow(DetailsButtonRect(i));
    row->details.ShowWindow(row->scanned && row->totalErrors > 0 ? SW_SHOW : SW_HIDE);
  }
}

void CCleanListControl::RepaintRow(int index) const {
  RECT r = GetItemRect(index);
  InvalidateRect(GetHwnd(), &r, TRUE);
}

int CCleanListControl::RecountRows() {
  int total[kRowCount] = {};
  int selected[kRowCount] = {};
  for (RegCheck::CRegistryAction* action : results_) {
    int row = RowOfCategory(action->GetCategory());
    if (row < 0) continue;
    ++total[row];
    if (action->IsSelected()) ++selected[row];
  }
  int sum = 0;
  for (int i = 0; i < static_cast<int>(rows_.size()) && i < kRowCount; ++i) {
    Row* row = rows_[static_cast<size_t>(i)].get();
    sum += selected[i];
    if (row->totalErrors != total[i] || row->selectedErrors != selected[i]) {
      row->totalErrors = total[i];
      row->selectedErrors = selected[i];
      RepaintRow(i);
    }
  }
  PlaceDetailsButtons();
  return sum;
}

std::string CCleanListControl::StatusText(int index) const {
  const Row* row = GetRow(index);
  if (!row) return "";
  if (!row->scanned) return "Not Scanned";
  if (row->totalErrors == 0) return "No Errors";
  char text[64];
  snprintf(text, sizeof text, "(%d/%d) Errors", row->selectedErrors, row->totalErrors);
  return text;
}

void CCleanListControl::MeasureItem(MEASUREITEMSTRUCT* item) {
  item->itemHeight = exmfc::Scale(kRowHeight);
}

void CCleanListControl::DrawItem(DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  const Row* row = reinterpret_cast<const Row*>(item->itemData);
  if (!row) return;
  HDC dc = item->hDC;
  RECT rc = item->rcItem;
  FillRect(dc, &rc, background_);
  SetBkMode(dc, TRANSPARENT);

  const int index = static_cast<int>(item->itemID);
  RECT label = LabelRect(index);
  {
    fw::OwnedPen pen(CreatePen(PS_SOLID, 1, kLineColour));
    fw::SelectGuard selPen(dc, pen);
    MoveToEx(dc, rc.left, rc.top, nullptr);
    LineTo(dc, rc.right, rc.top);
    MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
    LineTo(dc, rc.right, rc.bottom - 1);
    MoveToEx(dc, label.right, rc.top, nullptr);
    LineTo(dc, label.right, rc.bottom);
  }

  const RECT box = TickBoxRect(index);
  DrawIconEx(dc, box.left, box.top, row->ticked ? ticked_.Get() : unticked_.Get(),
             box.right - box.left, box.bottom - box.top, 0, nullptr, DI_NORMAL);

  fw::SelectGuard selFont(dc, GetAppFont(AppFont::kList));
  std::string text = GetText(index);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextA(dc, text.c_str(), -1, &label, kTextFormat);

  std::string status = StatusText(index);
  COLORREF colour = !row->scanned ? kNotScannedColour
                    : row->totalErrors > 0 ? kErrorsColour
                                           : kNoErrorsColour;
  RECT statusRect = StatusRect(index);
  SetTextColor(dc, colour);
  DrawTextA(dc, status.c_str(), -1, &statusRect, kTextFormat);

  // A no-selection list box keeps no caret of its own: the keyboard's row
  // is ours, framed while the list has the focus.
  if (index == focusRow_ && ::GetFocus() == GetHwnd()) {
    RECT focus = rc;
    InflateRect(&focus, -1, -1);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &focus);
  }
}

void CCleanListControl::ToggleTick(int index) {
  Row* row = GetRow(index);
  if (!row) return;
  row->ticked = !row->ticked;
  RepaintRow(index);
}

void CCleanListControl::SetFocusRow(int index) {
  if (index < 0 || index >= static_cast<int>(rows_.size()) || index == focusRow_) return;
  RepaintRow(focusRow_);
  focusRow_ = index;
  RepaintRow(focusRow_);
}

bool CCleanListControl::OnKey(WPARAM key) {
  const int last = static_cast<int>(rows_.size()) - 1;
  switch (key) {
    case VK_UP: SetFocusRow(focusRow_ - 1); return true;
    case VK_DOWN: SetFocusRow(focusRow_ + 1); return true;
    case VK_HOME: SetFocusRow(0); return true;
    case VK_END: SetFocusRow(last); return true;
    case VK_SPACE: ToggleTick(focusRow_); return true;
    case VK_RETURN: {
      // Enter opens the row's details, when it has any to show. The button's
      // command is sent rather than a click, which would move the focus to
      // the button and leave it there once the details are closed.
      Row* row = GetRow(focusRow_);
      if (row && row->details.GetHwnd() && row->details.IsWindowVisible() && GetParent()) {
        const HWND button = row->details.GetHwnd();
        ::SendMessageA(GetParent(), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
      }
      return true;
    }
    default:
      return false;
  }
}

LRESULT CCleanListControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      int index = ItemFromPoint(pt);
      Row* row = GetRow(index);
      if (row) {
        RECT box = TickBoxRect(index);
        ::SetFocus(GetHwnd());
        SetFocusRow(index);
        if (PtInRect(&box, pt)) {
          ToggleTick(index);
          return 0;
        }
      }
      return Default();
    }
    case WM_GETDLGCODE:
      // Arrows, Space and Enter work the rows; Tab and Esc stay with the
      // dialog-style navigation of the frame.
      if (lParam) {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
      }
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (OnKey(wParam)) return 0;
      break;
    case WM_CHAR:
      // Space and Enter were handled as keys; keep the list box from
      // searching rows by their first letter.
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      RepaintRow(focusRow_);
      break;
    case WM_COMMAND:
      // The "Details" buttons are the list's children; their clicks belong
      // to the work area.
      if (GetParent())
        return ::SendMessageA(GetParent(), WM_COMMAND, wParam, lParam);
      break;
    case WM_ERASEBKGND: {
      RECT r = GetClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &r, background_);
      return 1;
    }
    default:
      break;
  }
  return CListBox::WindowProc(msg, wParam, lParam);
}
