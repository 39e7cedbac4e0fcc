#pragma once
// The plug-in tool's panel: the Internet Explorer add-ons registered
// machine-wide and "Remove Plugin" (115) in the second button's place.

#include "app/IEPluginsListBox.h"
#include "app/ToolPanel.h"
#include "tools/IEPluginManager.h"

class CIEPluginsControls : public CToolPanel {
 public:
  CIEPluginsControls();

  // 115 asks, then removes the selected add-on's registration through the
  // backup manager and deletes the line. Nothing is asked when no line is
  // selected.
  bool OnCommand(UINT id) override;

  const RegCheck::CIEPluginManager& GetManager() const { return manager_; }

 protected:
  // One line per entry: its display text with the kind suffix.
  void AddEntries() override;

 private:
  const RegCheck::PluginEntry* EntryOf(int line) const {
    return static_cast<const RegCheck::PluginEntry*>(LineEntry(line));
  }

  RegCheck::CIEPluginManager manager_;
  CIEPluginsListBox list_;
};
