#pragma once
// A group of child controls that are shown, hidden, enabled or moved
// together; the base of every panel. The controls are not owned.

#include <vector>

#include "framework/Wnd.h"

namespace exmfc {

class CControlsHolder {
 public:
  virtual ~CControlsHolder() = default;

  // Appends `control`; the same control may be added more than once.
  void AddControl(fw::CWnd* control) { controls_.push_back(control); }
  // Removes the first occurrence; nothing when absent.
  void RemoveControl(fw::CWnd* control);

  // Shows (SW_SHOW) or hides (SW_HIDE) every control in order, then returns
  // OnShow() when showing or OnHide() when hiding.
  BOOL Show(BOOL show = TRUE);
  BOOL Hide() { return Show(FALSE); }
  void Enable(BOOL enable = TRUE);
  void Disable() { Enable(FALSE); }
  // Moves every control by dx, dy in its parent's client coordinates.
  void Offset(int dx, int dy);

  const std::vector<fw::CWnd*>& Controls() const { return controls_; }

 protected:
  virtual BOOL OnShow() { return TRUE; }
  virtual BOOL OnHide() { return TRUE; }

 private:
  std::vector<fw::CWnd*> controls_;
};

}  // namespace exmfc
