#pragma once
// The system menu of a skinned window, opened at a client point.

#include <windows.h>

namespace exmfc {

// Which items of the system menu are enabled for a window state.
struct SystemMenuState {
  bool restore, maximize, minimize, size, move;
  UINT defaultItem;  // SC_RESTORE when minimised, SC_CLOSE otherwise
};
SystemMenuState ComputeSystemMenuState(DWORD style, bool minimized, bool maximized);

// Enables or greys the items, sends WM_INITMENU and WM_INITMENUPOPUP
// (system menu), tracks the menu at the client point and posts the chosen
// command as WM_SYSCOMMAND.
void OpenSystemMenu(HWND hwnd, POINT client);

}  // namespace exmfc
