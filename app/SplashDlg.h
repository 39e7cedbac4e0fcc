#pragma once
// The splash screen: a skinned dialog that ends itself after two seconds.

#include <atomic>

#include "exmfc/WindowSkin.h"
#include "framework/Dialog.h"
#include "framework/WorkerThread.h"

class CSplashDlg : public exmfc::CWindowSkin<fw::CDialog> {
 public:
  static constexpr int kWidth = 620;
  static constexpr int kHeight = 226;
  static constexpr DWORD kShowMs = 2000;

  CSplashDlg();

 protected:
  void InitSkin() override;
  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  std::atomic<bool> done_{false};
  // Declared last: its destructor waits for the sleeper, which uses done_.
  fw::CWorkerThread sleeper_;
};
