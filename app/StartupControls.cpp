#include "app/StartupControls.h"

#include "res/resource.h"

CStartupControls::CStartupControls()
    : CToolPanel(list_, "List of software that run on computer startup:",
                 Button{"Run program", IDC_STARTUP_RUN}, Button{"Remove entry", IDC_STARTUP_REMOVE}) {}

void CStartupControls::AddEntries() {
  manager_.Refresh();
  for (const RegCheck::StartupEntry& entry : manager_.GetEntries())
    if (entry.IsShown()) AddLine(entry.DisplayText(), &entry);
}

bool CStartupControls::OnCommand(UINT id) {
  if (id == IDC_STARTUP_RUN) {
    const int line = ConfirmSelectedLine("The selected program will run.\nAre you sure?");
    if (line >= 0) EntryOf(line)->Run();
    return true;
  }
  if (id == IDC_STARTUP_REMOVE) {
    const int line = ConfirmSelectedLine(
        "Startup entry for selected program will be\nremoved from registry. Are you sure?");
    if (line >= 0) {
      FinishRemoval(line, EntryOf(line)->Remove());
    }
    return true;
  }
  return false;
}
