#pragma once
// The model of the startup tool: the programs started at log-on from the
// machine's and the user's Run key.

#include <list>

#include "engine/ScanContext.h"
#include "tools/StartupEntry.h"

namespace RegCheck {

class CStartupManager {
 public:
  // Empties the list and reads it again: every string value (REG_SZ or
  // REG_EXPAND_SZ) of the machine's Run key (on 64-bit Windows the native
  // one, then its 32-bit twin), then of the user's, each in the
  // registry's enumeration order. Other value types, unreadable values, a Run
  // key that cannot be opened and a pending Cancel contribute nothing.
  void Refresh();

  // A pending cancel ends a Refresh running on another thread at its next
  // step and makes every Refresh list nothing until it is cleared. The
  // tool's walks have a context of their own, so a scan's cancel never
  // reaches them.
  void Cancel() { context_.Cancel(); }
  void ClearCancel() { context_.ClearCancel(); }

  // Entries keep their address until the next Refresh, so a list box may hold
  // pointers to them as item data as long as it is refilled after Refresh.
  const std::list<StartupEntry>& GetEntries() const { return entries_; }

 private:
  class CStartupHandler;

  CScanContext context_;
  std::list<StartupEntry> entries_;
};

}  // namespace RegCheck
