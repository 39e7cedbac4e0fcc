#pragma once
// The list of the startup programs tool: the shared tool list with its own icon.

#include "app/ToolPanel.h"
#include "res/resource.h"

class CStartupListBox : public CToolListBox {
 public:
  CStartupListBox() : CToolListBox(IDI_STARTUP) {}
};
