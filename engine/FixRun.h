#pragma once
// The fix run shared by the windowed program and the console: fix every
// selected error, release it from the list, and log the run.

#include <string>

#include "engine/RegistryAction.h"

namespace RegCheck {

// Told about the run's progress; the windowed program repaints on each step.
class IFixProgress {
 public:
  virtual void SetTotal(int total) = 0;
  virtual void Step() = 0;
  // Told the answer of each Fix, just before the action is released.
  virtual void OnFixed(CRegistryAction& /*action*/, int /*fixed*/) {}

 protected:
  ~IFixProgress() = default;
};

struct FixOutcome {
  int fixed = 0;     // fixes that succeeded
  int selected = 0;  // fixes attempted
};

// Writes the system description and "Starting to fix %d errors." to the
// cleaning log, runs Fix of each selected action in list order and releases
// it whatever Fix answered (unselected actions stay), then logs
// "Error fix complete.". `progress` may be null.
FixOutcome RunFixSelected(CActionList& results, const std::string& versionString,
                          IFixProgress* progress);

}  // namespace RegCheck
