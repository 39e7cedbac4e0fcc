#include "framework/WinApp.h"

#include "framework/Controls.h"

namespace fw {

namespace {
CWinApp* g_app = nullptr;

bool IsDialogWindow(HWND hwnd) {
  char name[16];
  if (GetClassNameA(hwnd, name, sizeof name) && lstrcmpA(name, "#32770") == 0) return true;
  return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}
}  // namespace

CWinApp* GetApp() { return g_app; }

CWinApp::CWinApp(const char* appName) : appName_(appName ? appName : "") {
  profile_.SetAppName(appName_);
  if (!g_app) g_app = this;
  instance_ = GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
  EnsureCommonControls();
  return TRUE;
}

int CWinApp::ExitInstance() { return quitCode_; }

int CWinApp::Run() {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) return -1;
    if (PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  quitCode_ = static_cast<int>(msg.wParam);
  return quitCode_;
}

bool CWinApp::PreTranslateMessage(MSG& msg) {
  HWND active = GetActiveWindow();
  return active && IsDialogWindow(active) && IsDialogMessageA(active, &msg);
}

int CWinApp::Main(HINSTANCE instance, int showCommand) {
  instance_ = instance;
  showCommand_ = showCommand;
  if (!InitInstance()) return ExitInstance();
  Run();
  return ExitInstance();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
  fw::ParseCommandLine(GetCommandLineA(), info);
}

}  // namespace fw
