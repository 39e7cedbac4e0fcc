#pragma once
// Message pumping for tests that drive windows on the test's own thread.

#include <windows.h>

#include <functional>

namespace guitest {

// Dispatches every message waiting in this thread's queue.
void PumpPending();

// Pumps messages until `done` answers true or `timeoutMs` passes; returns
// the last answer of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// Pumps for about `ms` milliseconds (lets timers and posted messages run).
void PumpFor(DWORD ms);

// Clicks with real mouse input at a screen point (SendInput); the window
// under the point gets the messages once they are pumped.
void MoveMouseTo(POINT screen);
void MouseButton(bool left, bool down);

}  // namespace guitest
