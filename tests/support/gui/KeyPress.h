#pragma once
// Real key input: keys pressed with SendInput go to the foreground window's
// thread as a user's would.

#include <windows.h>

#include <vector>

namespace guitest {

// Presses and releases `vk`, with `modifier` (VK_SHIFT, VK_MENU, ...) held
// around it when not 0.
inline void PressKey(WORD vk, WORD modifier = 0) {
  std::vector<INPUT> in;
  auto add = [&](WORD key, DWORD flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = flags;
    in.push_back(i);
  };
  if (modifier) add(modifier, 0);
  add(vk, 0);
  add(vk, KEYEVENTF_KEYUP);
  if (modifier) add(modifier, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

}  // namespace guitest
