#pragma once
// The modeless dialog shown while the selected errors are fixed.

#include "engine/FixRun.h"
#include "exmfc/WindowSkin.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

class CFixProgressDlg : public exmfc::CWindowSkin<fw::CDialog>, public RegCheck::IFixProgress {
 public:
  CFixProgressDlg();

  // Range 0..n, step 1, remaining count n.
  void SetTotal(int total) override;
  // One fewer remaining; advances the bar and repaints at once.
  void Step() override { Advance(1); }
  // `steps` fewer remaining with one repaint, for a caller that catches up
  // on several steps at a time.
  void Advance(int steps);

  int GetRemaining() const { return remaining_; }

 protected:
  void InitSkin() override;
  BOOL OnInitDialog() override;

 private:
  void ShowRemaining();

  int remaining_ = 0;
};
