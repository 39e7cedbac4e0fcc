#pragma once
// The whole windowed program in the test process: a sandboxed registry with
// the program's options, a backup manager and cleaning log in a temporary
// folder, and the application started through its real start-up sequence.
// Message boxes are answered by helper threads; a watchdog presses any box
// left unanswered so that a wrong branch fails the test instead of hanging.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <cstring>

#include "app/AppOptions.h"
#include "app/CleanControls.h"
#include "app/MainFrame.h"
#include "app/ProgressDlg.h"
#include "app/RegistryCleanerApp.h"
#include "app/WorkArea.h"
#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

namespace apptest {

constexpr char kSettingsKey[] = "Software\\Varnholt\\Varnholt\\Settings";
constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr char kHelp[] = "SOFTWARE\\Microsoft\\Windows\\Help";

// Clicks away every "Varnholt" message box that stays up longer than the
// answerers of a test would let it, and counts them.
class BoxWatchdog {
 public:
  BoxWatchdog() : thread_([this] { Run(); }) {}
  ~BoxWatchdog() {
    stop_ = true;
    thread_.join();
  }
  int Strays() const { return strays_; }
  std::string LastText() const { return last_; }

 private:
  void Run();
  std::atomic<bool> stop_{false};
  std::atomic<int> strays_{0};
  std::string last_;
  std::thread thread_;
};

// Runs `body` on a helper thread once a top-level dialog that has a child
// with `childId` is visible (a modal dialog shows itself only after its
// initialisation, so its controls are complete); gives up after
// `timeoutMs`.
class DialogDriver {
 public:
  DialogDriver(int childId, std::function<void(HWND)> body, DWORD timeoutMs = 8000);
  ~DialogDriver();
  // True when the dialog was found and `body` ran.
  bool Wait();

 private:
  std::atomic<bool> ran_{false};
  std::thread thread_;
};

// Answers a message box of this process the way a user would: waits for a
// visible "#32770" window with `caption` that has button `button`, records
// its text and presses the button with BM_CLICK. Only this process's boxes
// count, as other test programs may show theirs on the same display.
class BoxAnswerer {
 public:
  BoxAnswerer(const char* caption, int button, DWORD timeoutMs = 8000);
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  // True when the button was pressed.
  bool Wait();
  // The text of the answered box (empty when none was).
  std::string Text();

 private:
  std::string caption_;
  std::string text_;
  std::atomic<bool> answered_{false};
  std::thread thread_;
};

// Calls `atEnd` on this thread with the progress dialog at the moment it
// takes its end-of-run message off the queue: however fast the scan, the
// dialog still exists then, with its final counters. One hook at a time.
class RunEndHook {
 public:
  explicit RunEndHook(std::function<void(HWND)> atEnd);
  ~RunEndHook();
  RunEndHook(const RunEndHook&) = delete;
  RunEndHook& operator=(const RunEndHook&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM removed, LPARAM lParam);

  static inline RunEndHook* active_ = nullptr;
  std::function<void(HWND)> atEnd_;
  HHOOK hook_ = nullptr;
};

// This process's visible "#32770" window titled `caption` that has a child
// `childId`, or null.
HWND FindOwnDialog(const char* caption, int childId);

// The text of a message box's longest static (its message).
std::string BoxText(HWND box);
// Presses the button `id` of a dialog with BM_CLICK (from any thread).
void Press(HWND dialog, int id);

class AppTest : public testsupport::BackupSandboxTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Stores an option before Start (1 or 0).
  void SetOption(const char* name, DWORD value);
  // Starts the program with `arguments` after the program name.
  void Start(const std::string& arguments = "");

  // A shared DLL count value naming a file that does not exist.
  void PlantMissingSharedDll(const std::string& name);
  void PlantMissingHelpFile(const std::string& name);

  CMainFrame& Frame() { return *app_->GetMainFrame(); }
  CWorkArea& Work() { return Frame().GetWorkArea(); }
  CCleanControls& Panel() { return Work().GetScanPanel(); }
  CCleanListControl& List() { return Panel().GetList(); }

  // A user's click on a row's tick box (button down and up at its centre).
  void ClickTickBox(int row);
  // Unticks every row, then ticks the rows of `categories`.
  void TickOnly(int categories);
  // BM_CLICK on a button of the program; returns once the flow it starts
  // has ended (modal dialogs and boxes included).
  void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
  std::string Status(int category) const;
  DWORD ReadSetting(const char* name, DWORD missing = 0xdeadbeef);

  std::unique_ptr<CRegistryCleanerApp> app_;
  std::unique_ptr<BoxWatchdog> watchdog_;
  std::string logPath_;
};

// ---------------------------------------------------------------- inline

inline std::string WindowTextOf(HWND hwnd) {
  char text[1024] = "";
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

inline BOOL CALLBACK CollectLongestStatic(HWND child, LPARAM param) {
  char cls[16];
  if (!GetClassNameA(child, cls, sizeof cls) || lstrcmpiA(cls, "Static") != 0) return TRUE;
  std::string text = WindowTextOf(child);
  auto* best = reinterpret_cast<std::string*>(param);
  if (text.size() > best->size()) *best = text;
  return TRUE;
}

inline std::string BoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, &CollectLongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

inline void Press(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button) SendMessageA(button, BM_CLICK, 0, 0);
}

struct FindDialogParam {
  const char* caption;  // null: any
  int childId;
  HWND found;
};

inline BOOL CALLBACK FindDialogWithChild(HWND top, LPARAM param) {
  auto* p = reinterpret_cast<FindDialogParam*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(top)) return TRUE;
  char cls[16];
  if (!GetClassNameA(top, cls, sizeof cls) || lstrcmpA(cls, "#32770") != 0) return TRUE;
  if (p->caption && WindowTextOf(top) != p->caption) return TRUE;
  if (!GetDlgItem(top, p->childId)) return TRUE;
  p->found = top;
  return FALSE;
}

inline HWND FindOwnDialog(const char* caption, int childId) {
  FindDialogParam p{caption, childId, nullptr};
  EnumWindows(&FindDialogWithChild, reinterpret_cast<LPARAM>(&p));
  return p.found;
}

inline BoxAnswerer::BoxAnswerer(const char* caption, int button, DWORD timeoutMs)
    : caption_(caption), thread_([this, button, timeoutMs] {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
          if (HWND box = FindOwnDialog(caption_.c_str(), button)) {
            text_ = BoxText(box);
            Press(box, button);
            answered_ = true;
            return;
          }
          Sleep(10);
        }
      }) {}

inline BoxAnswerer::~BoxAnswerer() {
  if (thread_.joinable()) thread_.join();
}

inline bool BoxAnswerer::Wait() {
  if (thread_.joinable()) thread_.join();
  return answered_;
}

inline std::string BoxAnswerer::Text() {
  Wait();
  return text_;
}

inline void BoxWatchdog::Run() {
  HWND seen = nullptr;
  DWORD since = 0;
  while (!stop_) {
    HWND box = FindOwnDialog("Varnholt", IDOK);
    if (!box) box = FindOwnDialog("Varnholt", IDNO);
    if (box) {
      if (box != seen) {
        seen = box;
        since = GetTickCount();
      } else if (GetTickCount() - since > 15000) {
        last_ = BoxText(box);
        ++strays_;
        for (int id : {IDNO, IDOK, IDCANCEL}) {
          if (GetDlgItem(box, id)) {
            Press(box, id);
            break;
          }
        }
        seen = nullptr;
      }
    } else {
      seen = nullptr;
    }
    Sleep(20);
  }
}

inline DialogDriver::DialogDriver(int childId, std::function<void(HWND)> body, DWORD timeoutMs)
    : thread_([this, childId, body, timeoutMs] {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
          if (HWND found = FindOwnDialog(nullptr, childId)) {
            body(found);
            ran_ = true;
            return;
          }
          Sleep(5);
        }
      }) {}

inline DialogDriver::~DialogDriver() {
  if (thread_.joinable()) thread_.join();
}

inline bool DialogDriver::Wait() {
  if (thread_.joinable()) thread_.join();
  return ran_;
}

inline RunEndHook::RunEndHook(std::function<void(HWND)> atEnd) : atEnd_(std::move(atEnd)) {
  active_ = this;
  hook_ = SetWindowsHookExA(WH_GETMESSAGE, &RunEndHook::Hook, nullptr, GetCurrentThreadId());
  EXPECT_TRUE(hook_ != nullptr);
}

inline RunEndHook::~RunEndHook() {
  if (hook_) UnhookWindowsHookEx(hook_);
  active_ = nullptr;
}

inline LRESULT CALLBACK RunEndHook::Hook(int code, WPARAM removed, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  RunEndHook* self = active_;
  if (code == HC_ACTION && removed == PM_REMOVE && self &&
      msg->message == CProgressDlg::kMsgRunEnded && GetDlgItem(msg->hwnd, IDC_PROGRESS_CANCEL)) {
    self->atEnd_(msg->hwnd);
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

inline void AppTest::SetUp() {
  BackupSandboxTest::SetUp();
  logPath_ = temp_.PathOf("reg_clean.log");
  // Splash off unless a test wants it; the other two options default to on.
  SetOption("ShowSplash", 0);
  CAppOptions& options = GetAppOptions();
  options.SetBackgroundMode(0);
  options.SetScanAtStart(0);
  watchdog_.reset(new BoxWatchdog);
}

inline void AppTest::TearDown() {
  if (app_) {
    if (app_->GetMainFrame() && app_->GetMainFrame()->GetHwnd())
      app_->GetMainFrame()->DestroyWindow();
    // The frame posted WM_QUIT as the main window; keep it from ending
    // the next test's loops.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    app_->ExitInstance();
    app_.reset();
  }
  int strays = watchdog_->Strays();
  std::string last = watchdog_->LastText();
  watchdog_.reset();
  EXPECT_EQ(0, strays) << "unanswered message box: " << last;
  BackupSandboxTest::TearDown();
}

inline void AppTest::SetOption(const char* name, DWORD value) {
  testsupport::SetDword(HKEY_CURRENT_USER, kSettingsKey, name, value);
}

inline void AppTest::Start(const std::string& arguments) {
  app_.reset(new CRegistryCleanerApp(("Varnholt.exe " + arguments).c_str()));
  ASSERT_TRUE(app_->InitInstance());
  ASSERT_NE(nullptr, app_->GetMainFrame());
}

inline void AppTest::PlantMissingSharedDll(const std::string& name) {
  testsupport::SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, temp_.PathOf("gone\\" + name), 1);
}

inline void AppTest::PlantMissingHelpFile(const std::string& name) {
  testsupport::SetString(HKEY_LOCAL_MACHINE, kHelp, name, temp_.PathOf("nohelp"));
}

inline void AppTest::ClickTickBox(int row) {
  RECT box = List().TickBoxRect(row);
  LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  SendMessageA(List().GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(List().GetHwnd(), WM_LBUTTONUP, 0, at);
}

inline void AppTest::TickOnly(int categories) {
  for (int row = 0; row < CCleanListControl::kRowCount; ++row) {
    const bool want = (CCleanListControl::CategoryOfRow(row) & categories) != 0;
    if ((List().GetRow(row)->ticked != 0) != want) ClickTickBox(row);
  }
  ASSERT_EQ(categories, Panel().GetSelectedCategories());
}

inline std::string AppTest::Status(int category) const {
  auto* self = const_cast<AppTest*>(this);
  return self->List().StatusText(CCleanListControl::RowOfCategory(category));
}

inline DWORD AppTest::ReadSetting(const char* name, DWORD missing) {
  DWORD type = 0;
  std::string data;
  if (!testsupport::ReadRaw(HKEY_CURRENT_USER, kSettingsKey, name, type, data) ||
      type != REG_DWORD || data.size() != sizeof(DWORD))
    return missing;
  DWORD value;
  memcpy(&value, data.data(), sizeof value);
  return value;
}

}  // namespace apptest
