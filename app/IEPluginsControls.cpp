#include "app/IEPluginsControls.h"

#include "res/resource.h"

CIEPluginsControls::CIEPluginsControls()
    : CToolPanel(list_, "List of installed plugins for Internet Explorer:", Button{nullptr, 0},
                 Button{"Remove Plugin", IDC_IEPLUGIN_REMOVE}) {}

void CIEPluginsControls::AddEntries() {
  manager_.Refresh();
  for (const RegCheck::PluginEntry& entry : manager_.GetEntries())
    AddLine(entry.DisplayText(), &entry);
}

bool CIEPluginsControls::OnCommand(UINT id) {
  if (id != IDC_IEPLUGIN_REMOVE) return false;
  const int line =
      ConfirmSelectedLine("Selected plugin will be removed from registry.\nAre you sure?");
  if (line >= 0) {
    FinishRemoval(line, EntryOf(line)->Remove());
  }
  return true;
}
