#pragma once
// Worker-thread start. The thread object owns the thread handle and waits
// for the thread in its destructor, so a thread never outlives the object
// whose data it uses.

#include <windows.h>

#include <functional>

#include "framework/GdiObject.h"

namespace fw {

class CWorkerThread {
 public:
  CWorkerThread() = default;
  ~CWorkerThread();
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // Starts `body` on a new thread; false when a thread of this object still
  // runs or the thread could not be created.
  bool Start(std::function<void()> body);
  // Waits up to `ms` milliseconds; true when the thread has ended (or none
  // was started).
  bool Wait(DWORD ms = INFINITE);
  // Waits for the thread while dispatching the calling thread's messages,
  // so its windows keep painting and answering; `onWake` (may be empty)
  // runs after each batch of messages and at least every `sliceMs`, and once
  // more after the thread has ended. A WM_QUIT taken off the queue meanwhile
  // is posted again before returning, so the caller's loop still ends.
  void WaitDispatching(DWORD sliceMs, const std::function<void()>& onWake);
  bool IsRunning() const;

 private:
  static unsigned __stdcall ThreadMain(void* self);
  std::function<void()> body_;
  OwnedHandle thread_;
};

}  // namespace fw
