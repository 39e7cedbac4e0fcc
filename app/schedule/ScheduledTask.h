#pragma once
// The "Varnholt" task of the Windows Task Scheduler that starts the program
// with "/scan" weekly or monthly, read and written through the Task
// Scheduler 1.0 interfaces.

#include <windows.h>
#include <mstask.h>

#include <string>

namespace RegCheck {

enum ScheduleFrequency { kWeekly = 0, kMonthly = 1 };

// What the scheduler dialog shows of a stored task.
struct ScheduleChoice {
  int frequency = kMonthly;  // kWeekly or kMonthly
  int dayIndex = 0;          // 0-6 Sunday..Saturday, or 0-30 for day 1..31
  WORD hour = 0;
  WORD minute = 0;
};

// Day list texts: "Sunday".."Saturday", or "1st", "2nd", "3rd", "4th".."31th".
std::string DayText(int frequency, int index);
int DayCount(int frequency);

// Day bit of a list index: Sunday 1 .. Saturday 64, or 1 << index for months.
DWORD DayBit(int frequency, int index);

// The weekly list index of a stored days-of-week value: 1 Sunday .. 32
// Friday; any other value selects Saturday.
int WeeklyIndexFromDays(WORD daysOfWeek);

// The monthly list index of a stored days mask: the lowest day set. A mask
// with no day set selects the first day rather than an index outside the
// list.
int MonthlyIndexFromDays(DWORD days);

class CScheduledTask {
 public:
  // Connects to the task scheduler; Available() is false when COM or the
  // scheduler is missing, and every other call then does nothing.
  CScheduledTask();
  ~CScheduledTask();
  CScheduledTask(const CScheduledTask&) = delete;
  CScheduledTask& operator=(const CScheduledTask&) = delete;

  bool Available() const { return scheduler_ != nullptr; }

  // True when the task exists; `choice` then holds its frequency and day
  // from trigger 0 (the time is left as given).
  bool Load(ScheduleChoice& choice);

  // Replaces the task with one that runs `program` with "/scan" in `folder`
  // at the chosen time from today on. False when it could not be written;
  // the old task is gone either way.
  bool Save(const std::string& program, const std::string& folder, const ScheduleChoice& choice);

  // Deletes the task; a missing task is no error.
  void Delete();

  static const wchar_t kTaskName[];

 private:
  ITaskScheduler* scheduler_ = nullptr;
  bool comInitialized_ = false;
};

// The account the task runs under: upper-cased computer name, "\", user.
std::string TaskAccountName();

}  // namespace RegCheck
