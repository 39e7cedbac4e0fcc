#pragma once
// The uninstall tool's panel: the software registered machine-wide for
// removal, "Run uninstall" (112) and "Remove entry" (111).

#include "app/ToolPanel.h"
#include "app/UninstallListBox.h"
#include "tools/UninstallManager.h"

class CUninstallControls : public CToolPanel {
 public:
  CUninstallControls();

  // 112 asks, then starts the selected program's uninstaller; 111 asks,
  // then removes its subkey through the backup manager and deletes the
  // line. Nothing is asked when no line is selected.
  bool OnCommand(UINT id) override;

  const RegCheck::CUninstallManager& GetManager() const { return manager_; }

 protected:
  // One line per entry: its display name.
  void AddEntries() override;

 private:
  const RegCheck::UninstallEntry* EntryOf(int line) const {
    return static_cast<const RegCheck::UninstallEntry*>(LineEntry(line));
  }

  RegCheck::CUninstallManager manager_;
  CUninstallListBox list_;
};
