#include "app/UninstallControls.h"

#include "res/resource.h"

CUninstallControls::CUninstallControls()
    : CToolPanel(list_, "List of software that is installed on this computer:",
                 Button{"Run uninstall", IDC_UNINSTALL_RUN},
                 Button{"Remove entry", IDC_UNINSTALL_REMOVE}) {}

void CUninstallControls::AddEntries() {
  manager_.Refresh();
  for (const RegCheck::UninstallEntry& entry : manager_.GetEntries())
    AddLine(entry.DisplayText(), &entry);
}

bool CUninstallControls::OnCommand(UINT id) {
  if (id == IDC_UNINSTALL_RUN) {
    const int line = ConfirmSelectedLine("Run uninstall for selected software.\nAre you sure?");
    if (line >= 0) EntryOf(line)->Run();
    return true;
  }
  if (id == IDC_UNINSTALL_REMOVE) {
    const int line = ConfirmSelectedLine(
        "Uninstall entry for selected program will be\nremoved from registry. Are you sure?");
    if (line >= 0) {
      FinishRemoval(line, EntryOf(line)->Remove());
    }
    return true;
  }
  return false;
}
