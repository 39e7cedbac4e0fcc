#include "app/RegistryCleanerApp.h"

#include <objbase.h>
#include <ole2.h>

#include "app/AppOptions.h"
#include "app/MainFrame.h"
#include "app/MyCommandLineInfo.h"
#include "app/SplashDlg.h"
#include "res/resource.h"

CRegistryCleanerApp::CRegistryCleanerApp(const char* commandLine) : fw::CWinApp("Varnholt") {
  if (commandLine) {
    commandLine_ = commandLine;
    ownCommandLine_ = true;
  }
}

// The frame's window goes before the application object: destroying it
// while the rest of the program is still there.
CRegistryCleanerApp::~CRegistryCleanerApp() { frame_.reset(); }

BOOL CRegistryCleanerApp::InitInstance() {
  fw::CWinApp::InitInstance();
  comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
  // Held for the life of the process; a second copy starts all the same.
  mutex_.Reset(CreateMutexA(nullptr, TRUE, "Varnholt"));
  oleInitialised_ = SUCCEEDED(OleInitialize(nullptr));

  char key[64] = "Varnholt";
  LoadStringA(GetInstance(), IDS_APPNAME, key, sizeof key);
  SetRegistryKey(key);

  CAppOptions& options = GetAppOptions();
  options.Load();
  CMyCommandLineInfo info(options);
  if (ownCommandLine_)
    fw::ParseCommandLine(commandLine_.c_str(), info);
  else
    ParseCommandLine(info);

  int show = SW_SHOW;
  if (options.GetBackgroundMode()) {
    show = SW_HIDE;
  } else if (options.GetShowSplash()) {
    CSplashDlg splash;
    splash.DoModal(nullptr);
  }

  frame_ = std::make_unique<CMainFrame>();
  SetMainWnd(frame_.get());
  if (!frame_->Create(nullptr, "", CMainFrame::kStyle, fw::CFrameWnd::rectDefault)) {
    SetMainWnd(nullptr);
    frame_.reset();
    return FALSE;
  }
  frame_->CenterWindow();
  frame_->ShowWindow(show);
  UpdateWindow(frame_->GetHwnd());

  if (options.GetScanAtStart()) {
    frame_->GetWorkArea().SelectPanel(CWorkArea::kScan);
    frame_->GetWorkArea().OnScanNow();
  }
  return TRUE;
}

int CRegistryCleanerApp::ExitInstance() {
  if (oleInitialised_) OleUninitialize();
  oleInitialised_ = false;
  if (comInitialised_) CoUninitialize();
  comInitialised_ = false;
  return fw::CWinApp::ExitInstance();
}
