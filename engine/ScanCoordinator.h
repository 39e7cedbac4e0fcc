#pragma once
// Runs one scan of the selected categories on a worker thread, holds the
// cancel request every registry walk consults and counts what is visited.

#include <windows.h>

#include <atomic>
#include <string>

#include "checkers/CheckerSet.h"
#include "engine/Handle.h"
#include "engine/IgnoreList.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

// Implemented by the progress display; both calls arrive on the scan thread.
class IRegProgressCallback {
 public:
  // `category` is a category bit, or 0 for the scan as a whole; `begin` is 1
  // when the stage starts and 0 when it ends.
  virtual void OnStage(int category, int begin) = 0;
  // Something was visited; read the counters through the coordinator.
  virtual void OnProgress() = 0;

 protected:
  ~IRegProgressCallback() = default;
};

class CScanCoordinator {
 public:
  CScanCoordinator();
  CScanCoordinator(const CScanCoordinator&) = delete;
  CScanCoordinator& operator=(const CScanCoordinator&) = delete;

  void SetCategories(int mask) { categories_ = mask; }
  int GetCategories() const { return categories_; }
  void SetProgressCallback(IRegProgressCallback* callback) { callback_ = callback; }

  // Starts the worker on `results` and returns once it runs, so IsRunning
  // already answers 1. Must not be called while a scan runs. Errors on the
  // user's ignore list (read afresh here) never enter `results`.
  void Start(CActionList* results);
  void Cancel();
  void ClearCancel();
  int IsCancelled() const;
  int IsRunning() const;
  void WaitDone();

  // Called by every registry walk for each key and value it visits.
  void OnKeyVisited(const std::string& keyText);
  void OnValueVisited(const std::string& keyText, const std::string& valueName);

  int GetKeysVisited() const { return keysVisited_; }
  int GetValuesVisited() const { return valuesVisited_; }
  std::string GetCurrentKey() const { return currentKey_; }
  // The list the running (or last) scan appends to; null before any scan.
  CActionList* GetResults() const { return results_; }

 private:
  static DWORD WINAPI ThreadMain(LPVOID self);
  void RunScan();

  CCheckerSet checkers_;
  CIgnoreFilter ignored_;
  int categories_ = 0;
  OwnedHandle doneEvent_;
  // Asked at every step of every walk: a flag costs nothing to read, where
  // a wait on an event is a kernel call (a server round trip under Wine).
  std::atomic<bool> cancelled_{false};
  OwnedHandle startedEvent_;
  std::string currentKey_;
  int keysVisited_ = 0;
  int valuesVisited_ = 0;
  CActionList* results_ = nullptr;
  IRegProgressCallback* callback_ = nullptr;
};

// The one coordinator of the process, created on first use.
CScanCoordinator& GetScanCoordinator();

}  // namespace RegCheck
