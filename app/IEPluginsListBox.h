#pragma once
// The list of the Internet Explorer plug-ins tool: the shared tool list with its own icon.

#include "app/ToolPanel.h"
#include "res/resource.h"

class CIEPluginsListBox : public CToolListBox {
 public:
  CIEPluginsListBox() : CToolListBox(IDI_IEPLUGIN) {}
};
