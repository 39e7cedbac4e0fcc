#pragma once
// The application object: COM, the single-instance mutex, the profile key,
// the command line, the splash screen and the main frame.

#include <windows.h>

#include <memory>
#include <string>

#include "framework/GdiObject.h"
#include "framework/WinApp.h"

class CMainFrame;

class CRegistryCleanerApp : public fw::CWinApp {
 public:
  // `commandLine` (program name first) replaces the process's own command
  // line when given.
  explicit CRegistryCleanerApp(const char* commandLine = nullptr);
  ~CRegistryCleanerApp() override;

  // The start-up sequence; false when the main frame could not be made.
  BOOL InitInstance() override;
  int ExitInstance() override;

  CMainFrame* GetMainFrame() const { return frame_.get(); }

 private:
  std::string commandLine_;
  bool ownCommandLine_ = false;
  bool comInitialised_ = false;
  bool oleInitialised_ = false;
  fw::OwnedHandle mutex_;
  std::unique_ptr<CMainFrame> frame_;
};
