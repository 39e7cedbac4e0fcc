#include "exmfc/SystemMenu.h"

namespace exmfc {

SystemMenuState ComputeSystemMenuState(DWORD style, bool minimized, bool maximized) {
  SystemMenuState s;
  s.restore = minimized || maximized;
  s.maximize = (style & WS_MAXIMIZEBOX) && !maximized;
  s.minimize = (style & WS_MINIMIZEBOX) && !minimized;
  s.size = (style & WS_THICKFRAME) && !minimized && !maximized;
  s.move = !minimized && !maximized;
  s.defaultItem = minimized ? SC_RESTORE : SC_CLOSE;
  return s;
}

void OpenSystemMenu(HWND hwnd, POINT client) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  if (!menu) return;
  DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
  SystemMenuState s = ComputeSystemMenuState(style, IsIconic(hwnd) != FALSE, IsZoomed(hwnd) != FALSE);
  auto set = [&](UINT item, bool on) {
    EnableMenuItem(menu, item, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  set(SC_RESTORE, s.restore);
  set(SC_MAXIMIZE, s.maximize);
  set(SC_MINIMIZE, s.minimize);
  set(SC_SIZE, s.size);
  set(SC_MOVE, s.move);
  SetMenuDefaultItem(menu, s.defaultItem, FALSE);
  SendMessageA(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
  POINT screen = client;
  ClientToScreen(hwnd, &screen);
  UINT cmd = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                              screen.y, 0, hwnd, nullptr));
  if (cmd) PostMessageA(hwnd, WM_SYSCOMMAND, cmd, 0);
}

}  // namespace exmfc
