#include "app/ToolPanel.h"

#include "app/AppFonts.h"
#include "app/PanelLook.h"
#include "backup/BackupManager.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

constexpr char kConfirmCaption[] = "Confirm";

const RECT kCaptionRect = {3, 49, 381, 67};
const RECT kFrameRect = {2, 67, 381, 267};
// 110 pixels: "Remove Plugin" needs more than the 100 of other panels.
const RECT kFirstButtonRect = {157, 272, 267, 296};
const RECT kSecondButtonRect = {271, 272, 381, 296};
constexpr int kListInset = 3;

}  // namespace

// ---------------------------------------------------------------- list

CToolListBox::CToolListBox(UINT iconId)
    : icon_(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId),
                                          IMAGE_ICON, 16, 16, 0))),
      normal_(CreateSolidBrush(kNormalColour)),
      selected_(CreateSolidBrush(kSelectedColour)) {}

CToolListBox::~CToolListBox() { DestroyWindow(); }

bool CToolListBox::Create(HWND frame) {
  RECT inner;
  ::GetClientRect(frame, &inner);
  InflateRect(&inner, -exmfc::Scale(kListInset), -exmfc::Scale(kListInset));
  if (!CListBox::Create(kStyle, inner, frame, 0)) return false;
  SetItemHeight(0, exmfc::Scale(kItemHeight));
  return true;
}

void CToolListBox::DrawItem(DRAWITEMSTRUCT* item) {
  // An empty list with the focus asks for its focus rectangle only.
  if (item->itemID == static_cast<UINT>(-1)) return;
  HDC dc = item->hDC;
  RECT rc = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rc, selected ? selected_.Get() : normal_.Get());
  if (icon_)
    DrawIconEx(dc, rc.left + exmfc::Scale(kIconLeft), rc.top + (rc.bottom - rc.top - 16) / 2, icon_,
               16, 16, 0, nullptr, DI_NORMAL);
  RECT text = rc;
  text.left += exmfc::Scale(kTextLeft);
  // Registry names may hold '&'; the row text draws them as they are.
  DrawListRowText(*item, text, GetText(static_cast<int>(item->itemID)));
}

// ---------------------------------------------------------------- panel

CToolPanel::CToolPanel(CToolListBox& list, const char* caption, Button first, Button second)
    : list_(list), captionText_(caption), first_(first), second_(second) {}

bool CToolPanel::Create(HWND parent) {
  if (!frame_.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD, exmfc::Scale(kFrameRect), parent,
                     IDC_STATIC_NONE))
    return false;
  frame_.SetShapeStyle(ListFrameStyle());
  if (!list_.Create(frame_)) return false;
  if (!caption_.Create(captionText_, WS_CHILD, exmfc::Scale(kCaptionRect), parent, IDC_STATIC_NONE))
    return false;
  caption_.SetFont(GetAppFont(AppFont::kLabel));
  if (first_.text && !MakeSkinButton(firstButton_, first_.text, kFirstButtonRect, parent, first_.id)) return false;
  if (second_.text && !MakeSkinButton(secondButton_, second_.text, kSecondButtonRect, parent, second_.id)) return false;

  AddControl(&frame_);
  AddControl(&list_);
  AddControl(&caption_);
  if (first_.text) AddControl(&firstButton_);
  if (second_.text) AddControl(&secondButton_);
  FillList();
  return true;
}

BOOL CToolPanel::OnShow() {
  FillList();
  return TRUE;
}

void CToolPanel::FillList() {
  // The lines point into the model's list, which the refresh rebuilds: empty
  // the box before anything can draw a line with a stale entry.
  list_.ResetContent();
  ++fills_;
  AddEntries();
  const bool any = list_.GetCount() > 0;
  if (any) list_.SetCurSel(0);
  EnableButtons(any);
}

void CToolPanel::AddLine(const std::string& text, const void* entry) {
  const int line = list_.AddString(text.c_str());
  if (line >= 0) list_.SetItemData(line, reinterpret_cast<DWORD_PTR>(entry));
}

int CToolPanel::ConfirmSelectedLine(const char* question) {
  const int line = list_.GetCurSel();
  if (line < 0) return -1;
  const unsigned fills = fills_;
  const DWORD_PTR entry = list_.GetItemData(line);
  if (MessageBoxA(nullptr, question, kConfirmCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return -1;
  if (fills != fills_ || line >= list_.GetCount() || list_.GetItemData(line) != entry) return -1;
  return line;
}

void CToolPanel::DeleteLine(int line) {
  list_.DeleteString(line);
  const int count = list_.GetCount();
  if (count <= 0) {
    EnableButtons(false);
    return;
  }
  list_.SetCurSel(line > 0 ? line - 1 : 0);
}

void CToolPanel::FinishRemoval(int line, int removed) {
  if (removed) {
    DeleteLine(line);
    return;
  }
  // A line that vanished would tell the user the entry is gone while it is
  // still in the registry.
  std::string reason = RegCheck::GetBackupManager().GetLastFailure();
  if (reason.empty()) reason = "the registry entry could not be deleted";
  const std::string text =
      "\"" + list_.GetText(line) + "\" was not removed:\n" + reason;
  MessageBoxA(nullptr, text.c_str(), "Varnholt", MB_OK | MB_ICONERROR);
}

void CToolPanel::EnableButtons(bool enable) {
  if (first_.text) firstButton_.EnableWindow(enable);
  if (second_.text) secondButton_.EnableWindow(enable);
}
