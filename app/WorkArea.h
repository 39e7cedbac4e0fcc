#pragma once
// The child window of the main frame that holds the seven panels and runs
// the scan and the fix of registry errors.
//
// Every panel is a CControlsHolder that builds its controls as children of
// the work area in CreatePanels and answers its own commands (OnCommand)
// when OnCmdMsg hands them on.

#include <windows.h>

#include "app/AboutControls.h"
#include "app/BackupControls.h"
#include "app/CleanControls.h"
#include "app/IEPluginsControls.h"
#include "app/OptionControls.h"
#include "app/StartupControls.h"
#include "app/UninstallControls.h"
#include "exmfc/ControlsHolder.h"
#include "framework/Controls.h"
#include "framework/GdiObject.h"
#include "framework/Wnd.h"

class CWorkArea : public fw::CWnd {
 public:
  static constexpr int kPanelCount = 7;
  enum Panel { kScan = 0, kIEPlugins, kStartup, kUninstall, kRestore, kOptions, kAbout };

  CWorkArea();

  // Creates the visible child window (control id 0) of `parent`.
  bool Create(HWND parent, const RECT& rect);

  // Shows panel `index` unless it is the visible one already.
  void SelectPanel(int index);
  // Shows panel `index` even when it is the visible one.
  void SelectPanelForced(int index);
  int GetPanelIndex() const { return panel_; }

  // The scan flow: scan the ticked categories behind the progress dialog,
  // report, and offer to fix.
  void OnScanNow();
  // Confirms and fixes the selected errors.
  void OnFixErrors();
  // Fixes every selected error with the fix progress dialog; tells how
  // many were fixed.
  void RunFix();
  // True while RunFix works through the list (its windows stay live).
  bool IsFixing() const { return fixing_; }
  // Opens the details dialog of one category, then recounts the rows.
  void ShowCategoryDetails(int category);

  CCleanControls& GetScanPanel() { return scan_; }
  COptionControls& GetOptionsPanel() { return options_; }
  exmfc::CControlsHolder& GetPanel(int index);
  const fw::CStatic& GetDescription() const { return description_; }

  bool OnCmdMsg(UINT id, UINT code, HWND control) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool CreatePanels();
  void ShowPanel(int index);
  // The work area's offset inside the frame, so the pattern brush lines up
  // with the frame's own image.
  POINT OffsetInFrame(HWND child) const;
  HWND MainWindow() const;

  fw::OwnedBrush patternBrush_;
  fw::OwnedBitmap patternBitmap_;
  fw::OwnedBrush darkBrush_;
  fw::OwnedBrush whiteBrush_;
  CCleanControls scan_;
  CIEPluginsControls iePlugins_;
  CStartupControls startup_;
  CUninstallControls uninstall_;
  CBackupControls restore_;
  COptionControls options_;
  CAboutControls about_;
  fw::CStatic description_;
  int panel_ = 0;
  bool fixing_ = false;
};
