#pragma once
// The modal scan progress dialog. It starts the scan coordinator, receives
// its reports on the worker thread and hands them to the UI thread as
// messages posted to itself, and ends when the run ends or the user cancels.

#include <windows.h>

#include <string>

#include "engine/RegistryAction.h"
#include "engine/ScanCoordinator.h"
#include "exmfc/SkinButton.h"
#include "exmfc/WindowSkin.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

class CProgressDlg : public exmfc::CWindowSkin<fw::CDialog>, public RegCheck::IRegProgressCallback {
 public:
  // Posted to the dialog itself; the sender allocates any payload, the
  // handler frees it.
  static constexpr UINT kMsgRunEnded = 0x8001;     // no parameters
  static constexpr UINT kMsgStageBegins = 0x8002;  // wParam: category bit
  static constexpr UINT kMsgProgress = 0x8003;     // wParam: Counts*, lParam: std::string*

  struct Counts {
    int keys;
    int entries;  // keys plus values
    int errors;
  };

  // `results` is filled by the scan; it must outlive the dialog.
  explicit CProgressDlg(RegCheck::CActionList& results);

  void SetCategories(int mask) { categories_ = mask; }
  // Valid once DoModal has returned.
  int GetFinishedMask() const { return finishedMask_; }
  int IsCancelled() const { return cancelled_; }

  // The section text shown while the checker of `bit` runs; "" for others.
  static const char* SectionText(int bit);

  // IRegProgressCallback, called on the worker thread.
  void OnStage(int category, int begin) override;
  void OnProgress() override;

 protected:
  void InitSkin() override;
  BOOL OnInitDialog() override;
  bool OnCmdMsg(UINT id, UINT code, HWND control) override;
  void OnCancel() override;
  HBRUSH OnSkinCtlColor(HDC dc, HWND child) override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowProgress(const Counts& counts, const std::string& path);
  void StopWorker();

  RegCheck::CActionList& results_;
  int categories_ = 0;
  volatile LONG cancelled_ = 0;
  volatile LONG finishedMask_ = 0;
  volatile LONG hiddenByBackground_ = 0;
  // Throttling of progress messages (scan thread writes, UI thread clears).
  static constexpr DWORD kProgressIntervalMs = 25;
  volatile LONG progressPending_ = 0;
  DWORD lastProgressPost_ = 0;
  Counts shown_ = {0, 0, 0};
  fw::CStatic section_;
  fw::CStatic path_;
  fw::CStatic keys_;
  fw::CStatic entries_;
  fw::CStatic errors_;
  exmfc::CSkinButton close_;
  exmfc::CSkinButton cancel_;
};
