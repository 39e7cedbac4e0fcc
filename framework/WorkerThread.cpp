#include "framework/WorkerThread.h"

#include <process.h>

namespace fw {

CWorkerThread::~CWorkerThread() { Wait(INFINITE); }

unsigned __stdcall CWorkerThread::ThreadMain(void* self) {
  try {
    static_cast<CWorkerThread*>(self)->body_();
  } catch (...) {
    OutputDebugStringA("fw::CWorkerThread: exception in worker\n");
  }
  return 0;
}

bool CWorkerThread::Start(std::function<void()> body) {
  if (IsRunning()) return false;
  Wait(INFINITE);
  thread_.Reset();
  body_ = std::move(body);
  // _beginthreadex rather than CreateThread so the C runtime is set up for
  // the new thread.
  uintptr_t h = _beginthreadex(nullptr, 0, &CWorkerThread::ThreadMain, this, 0, nullptr);
  if (!h) return false;
  thread_.Reset(reinterpret_cast<HANDLE>(h));
  return true;
}

bool CWorkerThread::Wait(DWORD ms) {
  if (!thread_) return true;
  return WaitForSingleObject(thread_.Get(), ms) == WAIT_OBJECT_0;
}

void CWorkerThread::WaitDispatching(DWORD sliceMs, const std::function<void()>& onWake) {
  bool quit = false;
  WPARAM quitCode = 0;
  while (thread_) {
    HANDLE thread = thread_.Get();
    // QS_ALLINPUT includes sent messages, so another thread's SendMessage
    // wakes the wait and is answered by the PeekMessage below.
    if (MsgWaitForMultipleObjects(1, &thread, FALSE, sliceMs, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (onWake) onWake();
  }
  if (onWake) onWake();
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

bool CWorkerThread::IsRunning() const {
  return thread_ && WaitForSingleObject(thread_.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace fw
