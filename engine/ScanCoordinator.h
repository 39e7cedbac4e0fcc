#pragma once
// Runs one scan of the selected categories on a worker thread, with the
// scan context its checkers and walks share (cancel, counters, memory), and
// a second thread scanning ahead where that pays off (engine/ScanAhead.h).

#include <windows.h>

#include <string>

#include "checkers/CheckerSet.h"
#include "engine/Handle.h"
#include "engine/IgnoreList.h"
#include "engine/RegistryAction.h"
#include "engine/ScanContext.h"

namespace RegCheck {

class CScanCoordinator {
 public:
  CScanCoordinator();
  CScanCoordinator(const CScanCoordinator&) = delete;
  CScanCoordinator& operator=(const CScanCoordinator&) = delete;

  void SetCategories(int mask) { categories_ = mask; }
  int GetCategories() const { return categories_; }
  // Told of each stage and each visit of the scans to come.
  void SetProgressCallback(IRegProgressCallback* callback);

  // Starts the worker on `results` and returns once it runs, so IsRunning
  // already answers 1. Must not be called while a scan runs. Errors on the
  // user's ignore list (read afresh here) never enter `results`.
  void Start(CActionList* results);
  // A cancel ends the running scan's walks and file checks at their next
  // step; it stays pending until cleared or the next Start.
  void Cancel();
  void ClearCancel();
  int IsCancelled() const;
  int IsRunning() const;
  void WaitDone();

  // What the running (or last) scan has visited.
  int GetKeysVisited() const { return context_.GetKeysVisited(); }
  int GetValuesVisited() const { return context_.GetValuesVisited(); }
  std::string GetCurrentKey() const { return context_.GetCurrentKey(); }
  // The list the running (or last) scan appends to; null before any scan.
  CActionList* GetResults() const { return results_; }

 private:
  static DWORD WINAPI ThreadMain(LPVOID self);
  void RunScan();

  CCheckerSet checkers_;
  CIgnoreFilter ignored_;
  int categories_ = 0;
  CScanContext context_;
  OwnedHandle doneEvent_;
  OwnedHandle startedEvent_;
  CActionList* results_ = nullptr;
  IRegProgressCallback* callback_ = nullptr;
};

// The one coordinator of the process, created on first use.
CScanCoordinator& GetScanCoordinator();

}  // namespace RegCheck
