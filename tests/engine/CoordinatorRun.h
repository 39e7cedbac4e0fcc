#pragma once
// Drives the process's one scan coordinator for tests: a whole scan run to
// its end, and the coordinator left as the next test expects it.

#include "engine/ScanCoordinator.h"

namespace testsupport {

inline void RunCoordinatorToEnd(int mask, RegCheck::IRegProgressCallback* callback,
                                RegCheck::CActionList& results) {
  RegCheck::CScanCoordinator& c = RegCheck::GetScanCoordinator();
  c.SetCategories(mask);
  c.SetProgressCallback(callback);
  c.Start(&results);
  c.WaitDone();
  c.SetProgressCallback(nullptr);
}

// Waits for a scan still running, then drops the callback and the cancel.
inline void ResetCoordinator() {
  RegCheck::CScanCoordinator& c = RegCheck::GetScanCoordinator();
  c.WaitDone();
  c.SetProgressCallback(nullptr);
  c.ClearCancel();
}

}  // namespace testsupport
