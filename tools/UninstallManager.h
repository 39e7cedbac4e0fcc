#pragma once
// The model of the uninstall tool: the software registered machine-wide for
// removal.

#include <list>

#include "engine/ScanContext.h"
#include "tools/UninstallEntry.h"

namespace RegCheck {

class CUninstallManager {
 public:
  // Empties the list and reads it again from the subkeys of the machine's
  // Uninstall key, in the registry's enumeration order. Only subkeys whose
  // "DisplayName" and "UninstallString" are both non-empty strings (REG_SZ
  // or REG_EXPAND_SZ) are listed; per-user entries never are. A missing key
  // or a pending Cancel gives an empty list. Returns 1.
  int Refresh();

  // The tool's own cancel (see CStartupManager).
  void Cancel() { context_.Cancel(); }
  void ClearCancel() { context_.ClearCancel(); }

  // Entries keep their address until the next Refresh (see CStartupManager).
  const std::list<UninstallEntry>& GetEntries() const { return entries_; }

 private:
  class CUninstallHandler;

  CScanContext context_;
  std::list<UninstallEntry> entries_;
};

}  // namespace RegCheck
