#pragma once
// The model of the plug-in tool: the Internet Explorer add-ons registered
// machine-wide, each resolved to a readable name and its implementing file.
// Only registry data is read; no add-on code is ever loaded.

#include <list>

#include "engine/ScanContext.h"
#include "tools/PluginEntry.h"

namespace RegCheck {

class CIEPluginManager {
 public:
  // Empties the list and reads it again: the Browser Helper Objects, then
  // the extensions, then the toolbars, each in the registry's enumeration
  // order. A registration key that cannot be opened contributes nothing; a
  // pending Cancel gives an empty list. Returns 1.
  int Refresh();

  // The tool's own cancel (see CStartupManager).
  void Cancel() { context_.Cancel(); }
  void ClearCancel() { context_.ClearCancel(); }

  // Entries keep their address until the next Refresh (see CStartupManager).
  const std::list<PluginEntry>& GetEntries() const { return entries_; }

 private:
  class CBHOHandler;
  class CToolbarHandler;
  class CExtensionHandler;

  CScanContext context_;
  std::list<PluginEntry> entries_;
};

}  // namespace RegCheck
