#pragma once
// The application object: start-up and shut-down hooks, the message loop,
// the main window and the profile values. One per process.

#include <windows.h>

#include <string>

#include "framework/CommandLineInfo.h"
#include "framework/Profile.h"

namespace fw {

class CWnd;

class CWinApp {
 public:
  // `appName` names the application in the profile path.
  explicit CWinApp(const char* appName);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // WinMain's body: InitInstance, then the message loop when it succeeded,
  // then ExitInstance. Returns the process exit code.
  int Main(HINSTANCE instance, int showCommand);

  // Return false to end the process at once (ExitInstance still runs).
  virtual BOOL InitInstance();
  // Returns the exit code; the base gives the WM_QUIT code.
  virtual int ExitInstance();
  // Runs the message loop until WM_QUIT; returns its exit code. Keyboard
  // navigation is handled here (PreTranslateMessage).
  virtual int Run();
  // Tab, Shift+Tab, arrows, Enter and Esc for the active window when it is
  // a dialog or a window with WS_EX_CONTROLPARENT (a frame whose children
  // are controls); true when the message was used up. Loops that pump on
  // the UI thread call it too.
  static bool PreTranslateMessage(MSG& msg);

  HINSTANCE GetInstance() const { return instance_; }
  int GetShowCommand() const { return showCommand_; }
  const char* GetAppName() const { return appName_.c_str(); }
  CWnd* GetMainWnd() const { return mainWnd_; }
  // The window whose destruction ends the loop (frames post WM_QUIT).
  void SetMainWnd(CWnd* wnd) { mainWnd_ = wnd; }

  // Places the profile under HKCU "Software\<key>\<app name>".
  void SetRegistryKey(const char* key) { profile_.SetRegistryKey(key); }
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const {
    return profile_.GetInt(section, entry, defaultValue);
  }
  BOOL WriteProfileInt(const char* section, const char* entry, int value) const {
    return profile_.WriteInt(section, entry, value) == ERROR_SUCCESS;
  }
  std::string GetProfileString(const char* section, const char* entry,
                               const char* defaultValue = "") const {
    return profile_.GetString(section, entry, defaultValue);
  }
  BOOL WriteProfileString(const char* section, const char* entry, const char* value) const {
    return profile_.WriteString(section, entry, value) == ERROR_SUCCESS;
  }
  const CProfile& Profile() const { return profile_; }

  // Parses this process's command line into `info`.
  void ParseCommandLine(CCommandLineInfo& info) const;

 private:
  std::string appName_;
  CProfile profile_;
  HINSTANCE instance_ = nullptr;
  int showCommand_ = SW_SHOWNORMAL;
  CWnd* mainWnd_ = nullptr;
  int quitCode_ = 0;
};

// The process's application object, or null before one is constructed.
CWinApp* GetApp();

}  // namespace fw
