// The "Varnholt" task under the real task scheduler of the test prefix:
// what is saved reads back, day lists and stored day masks.

#include <windows.h>
#include <mstask.h>

#include <gtest/gtest.h>

#include "app/schedule/ScheduledTask.h"
#include "support/TaskLock.h"

using namespace RegCheck;

namespace {

using testsupport::TaskLock;

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
