#pragma once
// The list of the installed software tool: the shared tool list with its own icon.

#include "app/ToolPanel.h"
#include "res/resource.h"

class CUninstallListBox : public CToolListBox {
 public:
  CUninstallListBox() : CToolListBox(IDI_UNINSTALL) {}
};
