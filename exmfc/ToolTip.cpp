#include "exmfc/ToolTip.h"

#include <commctrl.h>

#include "framework/Controls.h"

namespace exmfc {

void CToolTip::SetText(HWND owner, const char* text) {
  if (!owner) return;
  text_ = text ? text : "";
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.hwnd = owner;
  ti.uId = 1;
  ti.lpszText = const_cast<char*>(text_.c_str());
  if (!hwnd_) {
    fw::EnsureCommonControls();
    hwnd_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, owner,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return;
    GetClientRect(owner, &ti.rect);
    ::SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    ::SendMessageA(hwnd_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void CToolTip::Relay(HWND owner, UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (!hwnd_ || msg < WM_MOUSEFIRST || msg > WM_MOUSELAST) return;
  MSG m{owner, msg, wParam, lParam, 0, {0, 0}};
  ::SendMessageA(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

}  // namespace exmfc
