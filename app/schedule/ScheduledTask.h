#pragma once
// The "Varnholt" task of the Windows Task Scheduler that starts the program
// with "/scan" weekly or monthly. Where the Task Scheduler 2.0 interfaces
// exist (Vista and later) the task is written through them with the highest
// run level, since the program asks for administrator rights and a task on
// the limited token could not start it; elsewhere through the 1.0
// interfaces. A task made either way (by this or an older version) reads
// back, is replaced and is removed.

#include <windows.h>
#include <mstask.h>
#include <taskschd.h>

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

  bool Available() const { return scheduler_ != nullptr || service_ != nullptr; }
  // Whether the 2.0 interfaces answered.
  bool HasTaskService() const { return service_ != nullptr; }

  // True when the task exists; `choice` then holds its frequency and day
  // from its first trigger (the time is left as given). A task with no
  // readable trigger reads as monthly on the 1st.
  bool Load(ScheduleChoice& choice);

  // Replaces the task with one that runs `program` with "/scan" in `folder`
  // at the chosen time from today on. Through the 2.0 interfaces first; a
  // scheduler that does not keep the trigger, the run level or the program
  // of that task (read back at once) gets the 1.0 task instead, which at
  // least runs where UAC is off. False when it could not be written; the
  // old task is gone either way.
  bool Save(const std::string& program, const std::string& folder, const ScheduleChoice& choice);

  // True when the stored task is a 2.0 task at the highest run level.
  bool RunsAtHighestLevel();

  // Deletes the task from both interfaces; a missing task is no error.
  void Delete();

  static const wchar_t kTaskName[];

 private:
  // The stored 2.0 task's document; false when there is none.
  bool ReadTaskDocument(std::wstring& xml);
  bool SaveThroughTaskService(const std::string& program, const std::string& folder,
                              const ScheduleChoice& choice);
  bool SaveThroughTaskScheduler(const std::string& program, const std::string& folder,
                                const ScheduleChoice& choice);

  ITaskScheduler* scheduler_ = nullptr;
  ITaskFolder* rootFolder_ = nullptr;
  ITaskService* service_ = nullptr;
  bool comInitialized_ = false;
};

// The account the task runs under: upper-cased computer name, "\", user.
std::string TaskAccountName();

}  // namespace RegCheck
