#pragma once
// The "Varnholt" task is one per prefix, and several test programs that may
// run at the same time use it; whoever holds this named mutex owns the task.

#include <windows.h>

namespace testsupport {

class TaskLock {
 public:
  TaskLock() : mutex_(CreateMutexA(nullptr, FALSE, "VarnholtScheduledTaskTests")) {
    if (mutex_) WaitForSingleObject(mutex_, 120000);
  }
  ~TaskLock() {
    if (mutex_) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
  }
  TaskLock(const TaskLock&) = delete;
  TaskLock& operator=(const TaskLock&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace testsupport
