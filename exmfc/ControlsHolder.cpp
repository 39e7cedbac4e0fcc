#include "exmfc/ControlsHolder.h"

#include <algorithm>

namespace exmfc {

void CControlsHolder::RemoveControl(fw::CWnd* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it != controls_.end()) controls_.erase(it);
}

BOOL CControlsHolder::Show(BOOL show) {
  for (fw::CWnd* c : controls_) c->ShowWindow(show ? SW_SHOW : SW_HIDE);
  return show ? OnShow() : OnHide();
}

void CControlsHolder::Enable(BOOL enable) {
  for (fw::CWnd* c : controls_) c->EnableWindow(enable);
}

void CControlsHolder::Offset(int dx, int dy) {
  for (fw::CWnd* c : controls_) {
    RECT r = c->GetWindowRect();
    MapWindowPoints(nullptr, c->GetParent(), reinterpret_cast<POINT*>(&r), 2);
    OffsetRect(&r, dx, dy);
    c->MoveWindow(r, TRUE);
  }
}

}  // namespace exmfc
