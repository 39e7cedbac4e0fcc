#pragma once
// The startup tool's panel: the programs started at log-on, "Run program"
// (113) and "Remove entry" (114).

#include "app/StartupListBox.h"
#include "app/ToolPanel.h"
#include "tools/StartupManager.h"

class CStartupControls : public CToolPanel {
 public:
  CStartupControls();

  // 113 asks, then starts the selected line's program; 114 asks, then
  // removes its value through the backup manager and deletes the line.
  // Nothing is asked when no line is selected.
  bool OnCommand(UINT id) override;

  const RegCheck::CStartupManager& GetManager() const { return manager_; }

 protected:
  // One "name - command" line per entry but the program's own.
  void AddEntries() override;

 private:
  const RegCheck::StartupEntry* EntryOf(int line) const {
    return static_cast<const RegCheck::StartupEntry*>(LineEntry(line));
  }

  RegCheck::CStartupManager manager_;
  CStartupListBox list_;
};
