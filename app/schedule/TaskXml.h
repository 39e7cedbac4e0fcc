#pragma once
// The "Varnholt" task as the Task Scheduler 2.0 stores it: an XML document.
// Writing it ourselves is how the task gets the highest run level (an
// elevated "/scan" under UAC); reading it is how a stored task shows in the
// scheduler dialog, whichever interface made it.

#include <windows.h>

#include <string>

#include "app/schedule/ScheduledTask.h"

namespace RegCheck {

// What the dialog and the save check need of a stored task document.
struct TaskXmlFacts {
  bool hasTrigger = false;  // a weekly or monthly calendar trigger
  ScheduleChoice choice;    // frequency and day; valid with hasTrigger
  bool highestRunLevel = false;
  std::wstring command;     // the Exec action's program
};

// The task document: a calendar trigger on the chosen day at the chosen
// time from `start` on, weekly every week or monthly in every month; the
// interactive user's token at the highest run level; `program` with
// "/scan" in `folder`.
std::wstring TaskXml(const std::string& program, const std::string& folder,
                     const ScheduleChoice& choice, const SYSTEMTIME& start);

// Reads a document as the scheduler hands it back (its own layout, not
// necessarily ours). Several days map to a list entry as the 1.0 masks do.
TaskXmlFacts ReadTaskXml(const std::wstring& xml);

}  // namespace RegCheck
