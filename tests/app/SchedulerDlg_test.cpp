// The scheduler dialog over the real Task Scheduler of the test prefix: what
// it shows of a stored "Varnholt" task, what its controls do, and the task it
// writes or deletes. The stored task is read back through the Task Scheduler
// interfaces directly, not through the dialog.

#include <windows.h>
#include <commctrl.h>
#include <mstask.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/SchedulerDlg.h"
#include "res/resource.h"
#include "UncoveredCapture.h"
#include "support/ProcessRunner.h"
#include "support/TaskLock.h"
#include "support/gui/MessagePump.h"

namespace {

using testsupport::TaskLock;

// What the Task Scheduler holds of the "Varnholt" task.
struct StoredTask {
  bool exists = false;
  std::wstring application, parameters, directory;
  DWORD flags = 0xdeadbeef;
  WORD triggers = 0xbeef;
  TASK_TRIGGER trigger{};
};

// One of ITask's string getters; the text is freed here.
template <typename Getter>
std::wstring TaskString(ITask* task, Getter getter) {
  LPWSTR text = nullptr;
  const HRESULT hr = (task->*getter)(&text);
  std::wstring s = SUCCEEDED(hr) && text ? text : L"<unreadable>";
  CoTaskMemFree(text);
  return s;
}

std::wstring Wide(const std::string& s) {
  std::vector<wchar_t> w(s.size() + 1);
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
  return w.data();
}

class SchedulerDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_ITaskScheduler,
                                           reinterpret_cast<void**>(&scheduler_))));
    scheduler_->Delete(L"Varnholt");
    ASSERT_FALSE(Read().exists);
  }
  void TearDown() override {
    dialog_.reset();
    if (scheduler_) {
      scheduler_->Delete(L"Varnholt");
      scheduler_->Release();
    }
    CoUninitialize();
  }

  StoredTask Read() {
    StoredTask t;
    ITask* task = nullptr;
    if (FAILED(scheduler_->Activate(L"Varnholt", IID_ITask, reinterpret_cast<IUnknown**>(&task))) ||
        !task)
      return t;
    t.exists = true;
    t.application = TaskString(task, &ITask::GetApplicationName);
    t.parameters = TaskString(task, &ITask::GetParameters);
    t.directory = TaskString(task, &ITask::GetWorkingDirectory);
    task->GetFlags(&t.flags);
    task->GetTriggerCount(&t.triggers);
    ITaskTrigger* trigger = nullptr;
    if (SUCCEEDED(task->GetTrigger(0, &trigger)) && trigger) {
      memset(&t.trigger, 0xbd, sizeof t.trigger);
      t.trigger.cbTriggerSize = sizeof t.trigger;
      if (FAILED(trigger->GetTrigger(&t.trigger))) t.trigger.TriggerType = TASK_EVENT_TRIGGER_AT_LOGON;
      trigger->Release();
    }
    task->Release();
    return t;
  }

  // Stores a task with one trigger the way another program might have.
  void Plant(const TASK_TRIGGER& data, const wchar_t* application = L"C:\\old\\Varnholt.exe") {
    ITask* task = nullptr;
    ASSERT_TRUE(SUCCEEDED(scheduler_->NewWorkItem(L"Varnholt", CLSID_CTask, IID_ITask,
                                                  reinterpret_cast<IUnknown**>(&task))));
    task->SetApplicationName(application);
    task->SetParameters(L"/scan");
    WORD index = 0;
    ITaskTrigger* trigger = nullptr;
    ASSERT_TRUE(SUCCEEDED(task->CreateTrigger(&index, &trigger)));
    TASK_TRIGGER copy = data;
    copy.cbTriggerSize = sizeof copy;
    EXPECT_TRUE(SUCCEEDED(trigger->SetTrigger(&copy)));
    trigger->Release();
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(task->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    EXPECT_TRUE(SUCCEEDED(file->Save(nullptr, TRUE)));
    file->Release();
    task->Release();
    ASSERT_TRUE(Read().exists);
  }

  static TASK_TRIGGER Trigger(WORD type) {
    TASK_TRIGGER t{};
    t.wBeginYear = 2026;
    t.wBeginMonth = 1;
    t.wBeginDay = 5;
    t.wStartHour = 7;
    t.wStartMinute = 15;
    t.TriggerType = static_cast<TASK_TRIGGER_TYPE>(type);
    return t;
  }

  HWND Open() {
    dialog_.reset(new CSchedulerDlg);
    EXPECT_TRUE(dialog_->CreateModeless(nullptr));
    HWND hwnd = dialog_->GetHwnd();
    ShowWindow(hwnd, SW_SHOW);
    guitest::PumpPending();
    return hwnd;
  }
  HWND Item(int id) const { return GetDlgItem(dialog_->GetHwnd(), id); }
  bool Ticked() const { return IsDlgButtonChecked(dialog_->GetHwnd(), IDC_SCHED_ENABLE) == BST_CHECKED; }
  void ClickBox() { SendMessageA(Item(IDC_SCHED_ENABLE), BM_CLICK, 0, 0); }
  int Selection(int id) const { return static_cast<int>(SendMessageA(Item(id), CB_GETCURSEL, 0, 0)); }
  std::vector<std::string> Entries(int id) const {
    std::vector<std::string> out;
    const int n = static_cast<int>(SendMessageA(Item(id), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char text[64] = "";
      SendMessageA(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      out.push_back(text);
    }
    return out;
  }
  std::string SelectedText(int id) const {
    const int sel = Selection(id);
    std::vector<std::string> e = Entries(id);
    return sel >= 0 && sel < static_cast<int>(e.size()) ? e[sel] : "<none>";
  }
  // A user moving the selection of a closed drop-down list by keys.
  void Key(int id, UINT key, int times = 1) {
    for (int i = 0; i < times; ++i) {
      SendMessageA(Item(id), WM_KEYDOWN, key, 0);
      SendMessageA(Item(id), WM_KEYUP, key, 0xC0000000);
    }
    guitest::PumpPending();
  }
  void SetTime(WORD hour, WORD minute) {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = 0;
    ASSERT_TRUE(SendMessageA(Item(IDC_SCHED_TIME), DTM_SETSYSTEMTIME, GDT_VALID,
                             reinterpret_cast<LPARAM>(&t)));
  }
  void Press(int id) {
    SendMessageA(Item(id), BM_CLICK, 0, 0);
    EXPECT_EQ(nullptr, dialog_->GetHwnd()) << "the dialog stayed open";
  }
  void ExpectChoicesEnabled(bool on) {
    for (int id : {IDC_SCHED_FREQUENCY, IDC_SCHED_DAY, IDC_SCHED_TIME})
      EXPECT_EQ(on, IsWindowEnabled(Item(id)) != FALSE) << id;
  }

  static std::string JobFile() {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\Tasks\\Varnholt.job";
  }

  TaskLock lock_;
  ITaskScheduler* scheduler_ = nullptr;
  std::unique_ptr<CSchedulerDlg> dialog_;
};

TEST_F(SchedulerDlgTest, WithoutATaskTheScheduleShowsOff) {
  Open();
  EXPECT_TRUE(dialog_->SchedulerAvailable());
  EXPECT_FALSE(Ticked());
  ExpectChoicesEnabled(false);
  EXPECT_EQ((std::vector<std::string>{"Weekly", "Monthly"}), Entries(IDC_SCHED_FREQUENCY));
  EXPECT_TRUE(Entries(IDC_SCHED_DAY).empty());
}

TEST_F(SchedulerDlgTest, TickingPicksMonthlyFirstAndFrequencyChangesRefillTheDays) {
  Open();
  ClickBox();
  ASSERT_TRUE(Ticked());
  ExpectChoicesEnabled(true);
  EXPECT_EQ("Monthly", SelectedText(IDC_SCHED_FREQUENCY));
  std::vector<std::string> days = Entries(IDC_SCHED_DAY);
  ASSERT_EQ(31u, days.size());
  EXPECT_EQ("1st", days[0]);
  EXPECT_EQ("2nd", days[1]);
  EXPECT_EQ("3rd", days[2]);
  EXPECT_EQ("4th", days[3]);
  EXPECT_EQ("21th", days[20]);
  EXPECT_EQ("31th", days[30]);
  EXPECT_EQ(0, Selection(IDC_SCHED_DAY));

  Key(IDC_SCHED_DAY, VK_DOWN, 6);
  ASSERT_EQ("7th", SelectedText(IDC_SCHED_DAY));
  Key(IDC_SCHED_FREQUENCY, VK_UP);
  ASSERT_EQ("Weekly", SelectedText(IDC_SCHED_FREQUENCY));
  EXPECT_EQ((std::vector<std::string>{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday",
                                      "Friday", "Saturday"}),
            Entries(IDC_SCHED_DAY));
  EXPECT_EQ(0, Selection(IDC_SCHED_DAY));

  Key(IDC_SCHED_DAY, VK_DOWN, 3);
  ASSERT_EQ("Wednesday", SelectedText(IDC_SCHED_DAY));
  Key(IDC_SCHED_FREQUENCY, VK_DOWN);
  ASSERT_EQ("Monthly", SelectedText(IDC_SCHED_FREQUENCY));
  EXPECT_EQ(31u, Entries(IDC_SCHED_DAY).size());
  EXPECT_EQ("1st", SelectedText(IDC_SCHED_DAY));

  // Unticking only disables; ticking again starts over from the first day.
  Key(IDC_SCHED_DAY, VK_DOWN, 9);
  ClickBox();
  EXPECT_FALSE(Ticked());
  ExpectChoicesEnabled(false);
  ClickBox();
  EXPECT_EQ("Monthly", SelectedText(IDC_SCHED_FREQUENCY));
  EXPECT_EQ("1st", SelectedText(IDC_SCHED_DAY));
}

TEST_F(SchedulerDlgTest, WeeklyThursdayAtHalfPastTwoIsStoredAndReopens) {
  Open();
  ClickBox();
  Key(IDC_SCHED_FREQUENCY, VK_UP);
  Key(IDC_SCHED_DAY, VK_DOWN, 4);
  ASSERT_EQ("Thursday", SelectedText(IDC_SCHED_DAY));
  SetTime(14, 30);
  const std::string program = dialog_->GetProgramPath();
  Press(IDOK);

  StoredTask t = Read();
  ASSERT_TRUE(t.exists);
  EXPECT_EQ(Wide(program), t.application);
  EXPECT_EQ(L"/scan", t.parameters);
  EXPECT_EQ(Wide(CSchedulerDlg::ProgramFolder(program)), t.directory);
  EXPECT_EQ(static_cast<DWORD>(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON), t.flags);
  EXPECT_EQ(1, t.triggers);
  EXPECT_EQ(TASK_TIME_TRIGGER_WEEKLY, t.trigger.TriggerType);
  EXPECT_EQ(1, t.trigger.Type.Weekly.WeeksInterval);
  EXPECT_EQ(TASK_THURSDAY, t.trigger.Type.Weekly.rgfDaysOfTheWeek);
  EXPECT_EQ(14, t.trigger.wStartHour);
  EXPECT_EQ(30, t.trigger.wStartMinute);
  SYSTEMTIME today;
  GetLocalTime(&today);
  EXPECT_EQ(today.wYear, t.trigger.wBeginYear);
  EXPECT_EQ(today.wMonth, t.trigger.wBeginMonth);
  EXPECT_EQ(today.wDay, t.trigger.wBeginDay);
  EXPECT_EQ(0, t.trigger.wEndYear);
  EXPECT_EQ(0u, t.trigger.MinutesDuration);
  EXPECT_EQ(0u, t.trigger.MinutesInterval);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(JobFile().c_str())) << JobFile();

  Open();
  EXPECT_TRUE(Ticked());
  ExpectChoicesEnabled(true);
  EXPECT_EQ("Weekly", SelectedText(IDC_SCHED_FREQUENCY));
  EXPECT_EQ(7u, Entries(IDC_SCHED_DAY).size());
  EXPECT_EQ("Thursday", SelectedText(IDC_SCHED_DAY));
}

TEST_F(SchedulerDlgTest, MonthlyTwentiethIsStoredAndReopens) {
  Open();
  ClickBox();
  Key(IDC_SCHED_DAY, VK_DOWN, 19);
  ASSERT_EQ("20th", SelectedText(IDC_SCHED_DAY));
  SetTime(3, 5);
  Press(IDOK);

  StoredTask t = Read();
  ASSERT_TRUE(t.exists);
  EXPECT_EQ(TASK_TIME_TRIGGER_MONTHLYDATE, t.trigger.TriggerType);
  EXPECT_EQ(1u << 19, t.trigger.Type.MonthlyDate.rgfDays);
  EXPECT_EQ(0xFFF, t.trigger.Type.MonthlyDate.rgfMonths);
  EXPECT_EQ(3, t.trigger.wStartHour);
  EXPECT_EQ(5, t.trigger.wStartMinute);

  Open();
  EXPECT_TRUE(Ticked());
  EXPECT_EQ("Monthly", SelectedText(IDC_SCHED_FREQUENCY));
  EXPECT_EQ("20th", SelectedText(IDC_SCHED_DAY));
}

TEST_F(SchedulerDlgTest, SavingReplacesAnOlderTaskAndItsTriggers) {
  TASK_TRIGGER old = Trigger(TASK_TIME_TRIGGER_WEEKLY);
  old.Type.Weekly.WeeksInterval = 3;
  old.Type.Weekly.rgfDaysOfTheWeek = TASK_MONDAY;
  Plant(old);
  Open();
  ASSERT_EQ("Monday", SelectedText(IDC_SCHED_DAY));
  Key(IDC_SCHED_FREQUENCY, VK_DOWN);
  Key(IDC_SCHED_DAY, VK_DOWN, 30);
  SetTime(23, 59);
  Press(IDOK);
  StoredTask t = Read();
  ASSERT_TRUE(t.exists);
  EXPECT_EQ(Wide(dialog_->GetProgramPath()), t.application);
  EXPECT_EQ(1, t.triggers);
  EXPECT_EQ(TASK_TIME_TRIGGER_MONTHLYDATE, t.trigger.TriggerType);
  EXPECT_EQ(1u << 30, t.trigger.Type.MonthlyDate.rgfDays);
  EXPECT_EQ(23, t.trigger.wStartHour);
  EXPECT_EQ(59, t.trigger.wStartMinute);
}

TEST_F(SchedulerDlgTest, OkWithTheBoxUntickedRemovesTheTask) {
  TASK_TRIGGER old = Trigger(TASK_TIME_TRIGGER_MONTHLYDATE);
  old.Type.MonthlyDate.rgfDays = 1u << 9;
  old.Type.MonthlyDate.rgfMonths = 0xFFF;
  Plant(old);
  Open();
  ASSERT_TRUE(Ticked());
  EXPECT_EQ("10th", SelectedText(IDC_SCHED_DAY));
  ClickBox();
  Press(IDOK);
  EXPECT_FALSE(Read().exists);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(JobFile().c_str()));

  // With no task, OK unticked stays a no-op.
  Open();
  EXPECT_FALSE(Ticked());
  Press(IDOK);
  EXPECT_FALSE(Read().exists);
}

TEST_F(SchedulerDlgTest, CancelNeverChangesTheTask) {
  TASK_TRIGGER old = Trigger(TASK_TIME_TRIGGER_WEEKLY);
  old.Type.Weekly.WeeksInterval = 1;
  old.Type.Weekly.rgfDaysOfTheWeek = TASK_FRIDAY;
  Plant(old);
  const StoredTask before = Read();

  Open();
  ClickBox();  // off
  Press(IDCANCEL);
  Open();
  ASSERT_TRUE(Ticked());
  EXPECT_EQ("Friday", SelectedText(IDC_SCHED_DAY));
  Key(IDC_SCHED_FREQUENCY, VK_DOWN);
  Key(IDC_SCHED_DAY, VK_DOWN, 12);
  SetTime(1, 1);
  Press(IDCANCEL);

  StoredTask after = Read();
  ASSERT_TRUE(after.exists);
  EXPECT_EQ(before.application, after.application);
  EXPECT_EQ(L"C:\\old\\Varnholt.exe", after.application);
  EXPECT_EQ(0, memcmp(&before.trigger, &after.trigger, sizeof before.trigger));
  EXPECT_EQ(TASK_FRIDAY, after.trigger.Type.Weekly.rgfDaysOfTheWeek);

  // Nor does it create one.
  scheduler_->Delete(L"Varnholt");
  Open();
  ClickBox();
  Press(IDCANCEL);
  EXPECT_FALSE(Read().exists);
}

TEST_F(SchedulerDlgTest, StoredDayMasksAlwaysSelectADayOfTheList) {
  struct Case {
    WORD type;
    DWORD days;
    const char* frequency;
    const char* day;
  };
  const Case cases[] = {
      // Several days, as another tool may store them: the lowest day of a
      // month, and the weekly list's last entry.
      {TASK_TIME_TRIGGER_MONTHLYDATE, (1u << 4) | (1u << 19), "Monthly", "5th"},
      {TASK_TIME_TRIGGER_MONTHLYDATE, 1u << 30, "Monthly", "31th"},
      {TASK_TIME_TRIGGER_WEEKLY, TASK_MONDAY | TASK_WEDNESDAY, "Weekly", "Saturday"},
  };
  for (const Case& c : cases) {
    TASK_TRIGGER data = Trigger(c.type);
    if (c.type == TASK_TIME_TRIGGER_WEEKLY) {
      data.Type.Weekly.WeeksInterval = 1;
      data.Type.Weekly.rgfDaysOfTheWeek = static_cast<WORD>(c.days);
    } else {
      data.Type.MonthlyDate.rgfDays = c.days;
      data.Type.MonthlyDate.rgfMonths = 0xFFF;
    }
    Plant(data);
    Open();
    EXPECT_TRUE(Ticked()) << c.days;
    EXPECT_EQ(c.frequency, SelectedText(IDC_SCHED_FREQUENCY)) << c.days;
    EXPECT_EQ(c.day, SelectedText(IDC_SCHED_DAY)) << c.days;
    dialog_.reset();
  }
}

TEST_F(SchedulerDlgTest, WithoutTheSchedulerTheDialogShowsOffAndTouchesNoTask) {
  TASK_TRIGGER old = Trigger(TASK_TIME_TRIGGER_WEEKLY);
  old.Type.Weekly.WeeksInterval = 1;
  old.Type.Weekly.rgfDaysOfTheWeek = TASK_TUESDAY;
  Plant(old);
  const StoredTask before = Read();

  // A thread already in the multi-threaded apartment cannot join a
  // single-threaded one, so the dialog's CoInitialize fails there.
  struct Seen {
    bool created = false, available = true, ticked = true, anyEnabled = true;
    bool closedAfterTickedOk = false, closedAfterUntickedOk = false;
  } seen;
  std::thread mta([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (bool tick : {true, false}) {
      CSchedulerDlg dialog;
      if (!dialog.CreateModeless(nullptr)) break;
      seen.created = true;
      HWND hwnd = dialog.GetHwnd();
      seen.available = seen.available && dialog.SchedulerAvailable();
      seen.ticked = seen.ticked && IsDlgButtonChecked(hwnd, IDC_SCHED_ENABLE) == BST_CHECKED;
      seen.anyEnabled = seen.anyEnabled && IsWindowEnabled(GetDlgItem(hwnd, IDC_SCHED_FREQUENCY));
      if (tick) SendMessageA(GetDlgItem(hwnd, IDC_SCHED_ENABLE), BM_CLICK, 0, 0);
      SendMessageA(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
      (tick ? seen.closedAfterTickedOk : seen.closedAfterUntickedOk) = dialog.GetHwnd() == nullptr;
    }
    CoUninitialize();
  });
  mta.join();
  ASSERT_TRUE(seen.created);
  EXPECT_FALSE(seen.available);
  EXPECT_FALSE(seen.ticked);
  EXPECT_FALSE(seen.anyEnabled);
  EXPECT_TRUE(seen.closedAfterTickedOk);
  EXPECT_TRUE(seen.closedAfterUntickedOk);

  StoredTask after = Read();
  ASSERT_TRUE(after.exists);
  EXPECT_EQ(before.application, after.application);
  EXPECT_EQ(0, memcmp(&before.trigger, &after.trigger, sizeof before.trigger));
}

// The top-level windows of process `pid`.
struct ProcessWindows {
  DWORD pid;
  HWND frame = nullptr;  // titled "Varnholt", not a dialog
  HWND box = nullptr;    // a "Varnholt" message box
};

BOOL CALLBACK FindProcessWindows(HWND top, LPARAM param) {
  auto* w = reinterpret_cast<ProcessWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  if (pid != w->pid) return TRUE;
  char cls[16] = "", text[64] = "";
  GetClassNameA(top, cls, sizeof cls);
  GetWindowTextA(top, text, sizeof text);
  if (lstrcmpA(text, "Varnholt") != 0) return TRUE;
  if (lstrcmpA(cls, "#32770") == 0) {
    if (IsWindowVisible(top)) w->box = top;
  } else {
    w->frame = top;
  }
  return TRUE;
}

// The program started the way the Task Scheduler starts the stored task:
// its application with its parameters in its working directory.
TEST_F(SchedulerDlgTest, TheStoredCommandStartsTheProgramHiddenAndScans) {
  const std::string exe = testsupport::BuildTreeFile("app\\Varnholt.exe");
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(exe.c_str())) << exe;
  {
    RegCheck::CScheduledTask task;
    RegCheck::ScheduleChoice choice;
    ASSERT_TRUE(task.Save(exe, CSchedulerDlg::ProgramFolder(exe), choice));
  }
  const StoredTask t = Read();
  ASSERT_EQ(L"/scan", t.parameters);

  // The scan rewrites every count value; a sentinel shows that it ran.
  const char kSettings[] = "Software\\Varnholt\\Varnholt\\Settings";
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kSettings, &key));
  auto put = [key](const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  };
  put("regEntireSearch", 77);
  // Silent, and asking to fix when errors are found.
  put("UseSound", 0);
  put("PromptFix", 1);

  std::wstring command = L"\"" + t.application + L"\" " + t.parameters;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(t.application.c_str(), &command[0], nullptr, nullptr, FALSE, 0,
                             nullptr, t.directory.c_str(), &si, &pi));
  // The scan ends in a message box (errors found, or none); the frame
  // must still be hidden then.
  ProcessWindows seen{pi.dwProcessId};
  const DWORD start = GetTickCount();
  while (!seen.box && GetTickCount() - start < 120000 &&
         WaitForSingleObject(pi.hProcess, 20) == WAIT_TIMEOUT) {
    seen = ProcessWindows{pi.dwProcessId};
    EnumWindows(&FindProcessWindows, reinterpret_cast<LPARAM>(&seen));
  }
  ASSERT_NE(nullptr, seen.box) << "no end-of-scan message";
  ASSERT_NE(nullptr, seen.frame);
  EXPECT_FALSE(IsWindowVisible(seen.frame));
  char text[256] = "";
  for (HWND c = GetWindow(seen.box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char part[256] = "";
    GetWindowTextA(c, part, sizeof part);
    if (strlen(part) > strlen(text)) lstrcpynA(text, part, sizeof text);
  }
  const std::string message = text;
  EXPECT_TRUE(message.find("errors were found") != std::string::npos ||
              message.find("No errors were found") != std::string::npos)
      << message;
  for (int id : {IDNO, IDOK}) {
    if (HWND button = GetDlgItem(seen.box, id)) {
      SendMessageA(button, BM_CLICK, 0, 0);
      break;
    }
  }
  PostMessageA(seen.frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 30000));
  if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  DWORD value = 0xdeadbeef, size = sizeof value;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "regEntireSearch", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(0u, value);
  RegCloseKey(key);
}

TEST(SchedulerProgramFolder, IsThePathUpToTheLastBackslash) {
  EXPECT_EQ("C:\\Program Files\\Varnholt",
            CSchedulerDlg::ProgramFolder("C:\\Program Files\\Varnholt\\Varnholt.exe"));
  // A renamed program or one in a folder named like it still runs in its
  // own folder.
  EXPECT_EQ("C:\\Tools", CSchedulerDlg::ProgramFolder("C:\\Tools\\varnholt-1.37.exe"));
  EXPECT_EQ("C:\\Varnholt.exe", CSchedulerDlg::ProgramFolder("C:\\Varnholt.exe\\Varnholt.exe"));
  EXPECT_EQ("Varnholt.exe", CSchedulerDlg::ProgramFolder("Varnholt.exe"));
}

TEST_F(SchedulerDlgTest, Screenshot) {
  TASK_TRIGGER data = Trigger(TASK_TIME_TRIGGER_WEEKLY);
  data.Type.Weekly.WeeksInterval = 1;
  data.Type.Weekly.rgfDaysOfTheWeek = TASK_THURSDAY;
  Plant(data);
  Open();
  EXPECT_TRUE(apptest::WriteScreenshot(dialog_->GetHwnd(), POINT{40, 60}, "scheduler.png"));
}

}  // namespace
