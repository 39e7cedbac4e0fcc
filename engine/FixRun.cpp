#include "engine/FixRun.h"

#include "backup/CleaningLog.h"
#include "engine/SystemInfo.h"

namespace RegCheck {

FixOutcome RunFixSelected(CActionList& results, const std::string& versionString,
                          IFixProgress* progress) {
  FixOutcome outcome;
  outcome.selected = results.SelectedCount();
  CCleaningLog& log = GetCleaningLog();
  log.Print("%s", GetSystemDescription(versionString).c_str());
  log.Print("Starting to fix %d errors.", outcome.selected);
  if (progress) progress->SetTotal(outcome.selected);

  // Fixing releases the action from the list, so walk by index and only
  // advance past the actions that stay.
  int index = 0;
  while (index < results.Count()) {
    CRegistryAction* action = results.At(index);
    if (!action->IsSelected()) {
      ++index;
      continue;
    }
    int fixed = action->Fix();
    if (progress) progress->OnFixed(*action, fixed);
    action->Release();
    if (fixed) ++outcome.fixed;
    if (progress) progress->Step();
  }

  log.Print("Error fix complete.");
  return outcome;
}

}  // namespace RegCheck
