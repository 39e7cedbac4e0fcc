// The "Varnholt" task under the real task scheduler of the test prefix:
// what is saved reads back, day lists and stored day masks.

#include <windows.h>
#include <mstask.h>

#include <gtest/gtest.h>

#include <oleauto.h>
#include <taskschd.h>

#include "app/schedule/ScheduledTask.h"
#include "app/schedule/TaskXml.h"
#include "support/TaskLock.h"
#include "support/TestPlatform.h"

using namespace RegCheck;

namespace {

using testsupport::TaskLock;

ScheduleChoice Choice(int frequency, int day) {
  ScheduleChoice c;
  c.frequency = frequency;
  c.dayIndex = day;
  return c;
}

class ScheduledTaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!task_.Available()) GTEST_SKIP() << "no task scheduler";
    task_.Delete();
  }
  void TearDown() override { task_.Delete(); }

  TaskLock lock_;
  // Reads trigger 0 and the task's properties straight from the scheduler.
  bool ReadStored(TASK_TRIGGER& trigger, std::wstring& app, std::wstring& params,
                  std::wstring& dir, DWORD& flags) {
    ITaskScheduler* scheduler = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITaskScheduler, reinterpret_cast<void**>(&scheduler))))
      return false;
    ITask* task = nullptr;
    bool ok = SUCCEEDED(scheduler->Activate(L"Varnholt", IID_ITask,
                                            reinterpret_cast<IUnknown**>(&task)));
    if (ok) {
      LPWSTR text = nullptr;
      if (SUCCEEDED(task->GetApplicationName(&text))) app = text, CoTaskMemFree(text);
      if (SUCCEEDED(task->GetParameters(&text))) params = text, CoTaskMemFree(text);
      if (SUCCEEDED(task->GetWorkingDirectory(&text))) dir = text, CoTaskMemFree(text);
      task->GetFlags(&flags);
      ITaskTrigger* t = nullptr;
      trigger = TASK_TRIGGER{};
      trigger.cbTriggerSize = sizeof(trigger);
      ok = SUCCEEDED(task->GetTrigger(0, &t)) && SUCCEEDED(t->GetTrigger(&trigger));
      if (t) t->Release();
      task->Release();
    }
    scheduler->Release();
    return ok;
  }

  CScheduledTask task_;
};

TEST_F(ScheduledTaskTest, WeeklyThursdayReadsBackAsWritten) {
  ScheduleChoice choice;
  choice.frequency = kWeekly;
  choice.dayIndex = 4;
  choice.hour = 14;
  choice.minute = 30;
  ASSERT_TRUE(task_.Save("C:\\Program Files\\Varnholt\\Varnholt.exe",
                         "C:\\Program Files\\Varnholt", choice));

  ScheduleChoice loaded;
  loaded.hour = 9;
  ASSERT_TRUE(task_.Load(loaded));
  EXPECT_EQ(kWeekly, loaded.frequency);
  EXPECT_EQ("Thursday", DayText(loaded.frequency, loaded.dayIndex));
  EXPECT_EQ(9, loaded.hour);  // the time is not taken from the task

  TASK_TRIGGER trigger;
  std::wstring app, params, dir;
  DWORD flags = 0;
  ASSERT_TRUE(ReadStored(trigger, app, params, dir, flags));
  EXPECT_EQ(L"C:\\Program Files\\Varnholt\\Varnholt.exe", app);
  EXPECT_EQ(L"/scan", params);
  EXPECT_EQ(L"C:\\Program Files\\Varnholt", dir);
  EXPECT_EQ(static_cast<DWORD>(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON), flags);
  EXPECT_EQ(TASK_TIME_TRIGGER_WEEKLY, trigger.TriggerType);
  EXPECT_EQ(1, trigger.Type.Weekly.WeeksInterval);
  EXPECT_EQ(16, trigger.Type.Weekly.rgfDaysOfTheWeek);
  EXPECT_EQ(14, trigger.wStartHour);
  EXPECT_EQ(30, trigger.wStartMinute);
  SYSTEMTIME today;
  GetLocalTime(&today);
  EXPECT_EQ(today.wYear, trigger.wBeginYear);
  EXPECT_EQ(today.wMonth, trigger.wBeginMonth);
  EXPECT_EQ(today.wDay, trigger.wBeginDay);
}

TEST_F(ScheduledTaskTest, MonthlyTwentiethReadsBackAsWritten) {
  ScheduleChoice choice;
  choice.frequency = kMonthly;
  choice.dayIndex = 19;
  choice.hour = 3;
  ASSERT_TRUE(task_.Save("C:\\V\\Varnholt.exe", "C:\\V", choice));
  ScheduleChoice loaded;
  ASSERT_TRUE(task_.Load(loaded));
  EXPECT_EQ(kMonthly, loaded.frequency);
  EXPECT_EQ("20th", DayText(loaded.frequency, loaded.dayIndex));
  TASK_TRIGGER trigger;
  std::wstring app, params, dir;
  DWORD flags = 0;
  ASSERT_TRUE(ReadStored(trigger, app, params, dir, flags));
  EXPECT_EQ(TASK_TIME_TRIGGER_MONTHLYDATE, trigger.TriggerType);
  EXPECT_EQ(1u << 19, trigger.Type.MonthlyDate.rgfDays);
  EXPECT_EQ(0xFFF, trigger.Type.MonthlyDate.rgfMonths);
}

TEST_F(ScheduledTaskTest, SavingReplacesAndDeleteRemoves) {
  ScheduleChoice choice;
  choice.frequency = kMonthly;
  choice.dayIndex = 0;
  ASSERT_TRUE(task_.Save("C:\\V\\Varnholt.exe", "C:\\V", choice));
  choice.frequency = kWeekly;
  choice.dayIndex = 1;
  ASSERT_TRUE(task_.Save("C:\\V\\Varnholt.exe", "C:\\V", choice));
  ScheduleChoice loaded;
  ASSERT_TRUE(task_.Load(loaded));
  EXPECT_EQ(kWeekly, loaded.frequency);
  EXPECT_EQ(1, loaded.dayIndex);
  task_.Delete();
  EXPECT_FALSE(task_.Load(loaded));
  task_.Delete();  // deleting a missing task is harmless
}

// The scheduler's 2.0 root folder, straight, for what a test plants and
// checks beside the code under test.
class TaskFolder2 {
 public:
  TaskFolder2() {
    ITaskService* service = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITaskService, reinterpret_cast<void**>(&service))))
      return;
    VARIANT none;
    VariantInit(&none);
    BSTR root = SysAllocString(L"\\");
    if (SUCCEEDED(service->Connect(none, none, none, none))) service->GetFolder(root, &folder_);
    SysFreeString(root);
    service->Release();
  }
  ~TaskFolder2() {
    if (folder_) folder_->Release();
  }
  bool Valid() const { return folder_ != nullptr; }
  bool Register(const std::wstring& xml) {
    VARIANT none;
    VariantInit(&none);
    BSTR name = SysAllocString(L"Varnholt"), text = SysAllocString(xml.c_str());
    IRegisteredTask* task = nullptr;
    HRESULT hr = folder_->RegisterTask(name, text, TASK_CREATE_OR_UPDATE, none, none,
                                       TASK_LOGON_INTERACTIVE_TOKEN, none, &task);
    SysFreeString(name);
    SysFreeString(text);
    if (task) task->Release();
    return SUCCEEDED(hr);
  }
  // The stored document; false when there is no task.
  bool Read(std::wstring& xml) {
    BSTR name = SysAllocString(L"Varnholt");
    IRegisteredTask* task = nullptr;
    HRESULT hr = folder_->GetTask(name, &task);
    SysFreeString(name);
    if (FAILED(hr) || !task) return false;
    BSTR text = nullptr;
    if (SUCCEEDED(task->get_Xml(&text)) && text) xml = text;
    SysFreeString(text);
    task->Release();
    return true;
  }

 private:
  ITaskFolder* folder_ = nullptr;
};

// Whether the 1.0 interfaces see a task "Varnholt".
bool InTaskScheduler1() {
  ITaskScheduler* scheduler = nullptr;
  if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                              IID_ITaskScheduler, reinterpret_cast<void**>(&scheduler))))
    return false;
  ITask* task = nullptr;
  const bool found =
      SUCCEEDED(scheduler->Activate(L"Varnholt", IID_ITask, reinterpret_cast<IUnknown**>(&task)));
  if (task) task->Release();
  scheduler->Release();
  return found;
}

// What an older version wrote: a 1.0 task, weekly on Tuesday.
bool MakeOldVersionTask() {
  ITaskScheduler* scheduler = nullptr;
  if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                              IID_ITaskScheduler, reinterpret_cast<void**>(&scheduler))))
    return false;
  ITask* task = nullptr;
  bool saved = false;
  if (SUCCEEDED(scheduler->NewWorkItem(L"Varnholt", CLSID_CTask, IID_ITask,
                                       reinterpret_cast<IUnknown**>(&task)))) {
    task->SetApplicationName(L"C:\\Old\\Varnholt.exe");
    task->SetParameters(L"/scan");
    WORD index = 0;
    ITaskTrigger* trigger = nullptr;
    if (SUCCEEDED(task->CreateTrigger(&index, &trigger))) {
      TASK_TRIGGER data{};
      data.cbTriggerSize = sizeof data;
      data.wBeginYear = 2009;
      data.wBeginMonth = 6;
      data.wBeginDay = 2;
      data.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
      data.Type.Weekly.WeeksInterval = 1;
      data.Type.Weekly.rgfDaysOfTheWeek = TASK_TUESDAY;
      IPersistFile* file = nullptr;
      if (SUCCEEDED(trigger->SetTrigger(&data)) &&
          SUCCEEDED(task->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(nullptr, TRUE));
        file->Release();
      }
      trigger->Release();
    }
    task->Release();
  }
  scheduler->Release();
  return saved;
}

TEST_F(ScheduledTaskTest, AnOlderVersionsTaskIsReadChangedAndRemoved) {
  ASSERT_TRUE(MakeOldVersionTask());
  ScheduleChoice loaded;
  ASSERT_TRUE(task_.Load(loaded));
  EXPECT_EQ(kWeekly, loaded.frequency);
  EXPECT_EQ("Tuesday", DayText(loaded.frequency, loaded.dayIndex));

  ASSERT_TRUE(task_.Save("C:\\V\\Varnholt.exe", "C:\\V", Choice(kMonthly, 19)));
  ScheduleChoice changed;
  ASSERT_TRUE(task_.Load(changed));
  EXPECT_EQ(kMonthly, changed.frequency);
  EXPECT_EQ(19, changed.dayIndex);

  task_.Delete();
  EXPECT_FALSE(task_.Load(changed));
  EXPECT_FALSE(InTaskScheduler1());
  TaskFolder2 folder;
  std::wstring xml;
  EXPECT_FALSE(folder.Valid() && folder.Read(xml));
}

// Windows keeps the whole document and the task runs elevated. Wine 8 keeps
// only the description and settings of a 2.0 task (no trigger, no principal,
// no action), so the program must notice and write the 1.0 task instead.
TEST_F(ScheduledTaskTest, TheStoredTaskRunsAtTheHighestLevelWhereTheSchedulerKeepsIt) {
  ASSERT_TRUE(task_.HasTaskService()) << "every supported Windows and Wine has the 2.0 service";
  ASSERT_TRUE(task_.Save("C:\\V\\Varnholt.exe", "C:\\V", Choice(kWeekly, 3)));
  ScheduleChoice loaded;
  ASSERT_TRUE(task_.Load(loaded));
  EXPECT_EQ(kWeekly, loaded.frequency);
  EXPECT_EQ(3, loaded.dayIndex);

  TaskFolder2 folder;
  ASSERT_TRUE(folder.Valid());
  std::wstring stored;
  if (testsupport::RunsUnderWine()) {
    EXPECT_FALSE(task_.RunsAtHighestLevel());
    EXPECT_FALSE(folder.Read(stored)) << "a 2.0 task without its trigger was left behind";
    EXPECT_TRUE(InTaskScheduler1());
    // What Wine drops, checked, so the day it keeps more shows here.
    ASSERT_TRUE(folder.Register(
        TaskXml("C:\\V\\Varnholt.exe", "C:\\V", Choice(kWeekly, 3), SYSTEMTIME{2026, 1, 0, 1, 0, 0, 0, 0})));
    ASSERT_TRUE(folder.Read(stored));
    const TaskXmlFacts kept = ReadTaskXml(stored);
    EXPECT_FALSE(kept.hasTrigger);
    EXPECT_FALSE(kept.highestRunLevel);
    EXPECT_EQ(L"", kept.command);
  } else {
    EXPECT_TRUE(task_.RunsAtHighestLevel());
    ASSERT_TRUE(folder.Read(stored));
    EXPECT_NE(std::wstring::npos, stored.find(L"HighestAvailable"));
  }
}

// A 2.0 task (this version on another machine's scheduler) is found,
// replaced and removed through both interfaces.
TEST_F(ScheduledTaskTest, ATaskMadeThroughTheNewInterfacesIsFoundAndRemoved) {
  TaskFolder2 folder;
  ASSERT_TRUE(folder.Valid());
  ASSERT_TRUE(folder.Register(
      TaskXml("C:\\V\\Varnholt.exe", "C:\\V", Choice(kWeekly, 4), SYSTEMTIME{2026, 1, 0, 1, 0, 0, 0, 0})));
  ScheduleChoice loaded;
  ASSERT_TRUE(task_.Load(loaded));
  // Wine drops the trigger: the task reads as one without a trigger does.
  const bool keepsTrigger = !testsupport::RunsUnderWine();
  EXPECT_EQ(keepsTrigger ? kWeekly : kMonthly, loaded.frequency);
  EXPECT_EQ(keepsTrigger ? 4 : 0, loaded.dayIndex);

  ASSERT_TRUE(task_.Save("C:\\V\\Varnholt.exe", "C:\\V", Choice(kMonthly, 30)));
  ASSERT_TRUE(task_.Load(loaded));
  EXPECT_EQ(kMonthly, loaded.frequency);
  EXPECT_EQ(30, loaded.dayIndex);

  task_.Delete();
  std::wstring xml;
  EXPECT_FALSE(folder.Read(xml));
  EXPECT_FALSE(InTaskScheduler1());
  EXPECT_FALSE(task_.Load(loaded));
}

TEST(ScheduleDays, ListsAndBits) {
  EXPECT_EQ(7, DayCount(kWeekly));
  EXPECT_EQ(31, DayCount(kMonthly));
  EXPECT_EQ("Sunday", DayText(kWeekly, 0));
  EXPECT_EQ("Saturday", DayText(kWeekly, 6));
  EXPECT_EQ("1st", DayText(kMonthly, 0));
  EXPECT_EQ("2nd", DayText(kMonthly, 1));
  EXPECT_EQ("3rd", DayText(kMonthly, 2));
  EXPECT_EQ("4th", DayText(kMonthly, 3));
  EXPECT_EQ("21th", DayText(kMonthly, 20));
  EXPECT_EQ("31th", DayText(kMonthly, 30));
  EXPECT_EQ("", DayText(kMonthly, 31));
  EXPECT_EQ(64u, DayBit(kWeekly, 6));
  EXPECT_EQ(1u << 30, DayBit(kMonthly, 30));
}

TEST(ScheduleDays, StoredMasksAlwaysSelectAListEntry) {
  EXPECT_EQ(4, WeeklyIndexFromDays(16));
  EXPECT_EQ(0, WeeklyIndexFromDays(1));
  EXPECT_EQ(6, WeeklyIndexFromDays(64));
  EXPECT_EQ(6, WeeklyIndexFromDays(0));
  EXPECT_EQ(6, WeeklyIndexFromDays(3));
  EXPECT_EQ(19, MonthlyIndexFromDays(1u << 19));
  EXPECT_EQ(30, MonthlyIndexFromDays(1u << 30));
  // No day, or several days, still give an index inside the 31-day list.
  EXPECT_EQ(0, MonthlyIndexFromDays(0));
  EXPECT_EQ(2, MonthlyIndexFromDays((1u << 2) | (1u << 9)));
  EXPECT_EQ(0, MonthlyIndexFromDays(0xFFFFFFFFu));
}

TEST(ScheduleAccount, ComputerNameUpperCasedThenUser) {
  std::string account = TaskAccountName();
  size_t slash = account.find('\\');
  ASSERT_NE(std::string::npos, slash);
  std::string computer = account.substr(0, slash);
  EXPECT_FALSE(computer.empty());
  for (char c : computer) EXPECT_FALSE(c >= 'a' && c <= 'z') << computer;
  EXPECT_FALSE(account.substr(slash + 1).empty());
}

}  // namespace
