#pragma once
// A second thread for one scan. The scan thread takes the selected categories
// from the front of the order; the helper takes them from the back, each into
// a findings list and counters of its own, and the scan thread takes over the
// helper's categories when it reaches them. Stages, findings and counters
// therefore come out in the order and with the figures of a scan on one
// thread, in less time: the registry answers two threads at once (each call
// is a kernel call on Windows, a server round trip under Wine).

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/RegistryAction.h"
#include "engine/ScanContext.h"

namespace RegCheck {

class CCheckerSet;

class CScanAhead {
 public:
  // `order` lists the category bits of the scan in its order. The helper
  // starts at once; its checks stop when `scan`'s cancel is pending.
  CScanAhead(CCheckerSet& checkers, const std::vector<int>& order, const CScanContext& scan);
  // Stops the helper at its next step and waits for it.
  ~CScanAhead();
  CScanAhead(const CScanAhead&) = delete;
  CScanAhead& operator=(const CScanAhead&) = delete;

  // Called by the scan thread for each position of the order in turn: true
  // when the caller is to scan that category itself, false when the helper
  // has taken it (then call TakeOver).
  bool ClaimForCaller(size_t position);
  // Waits until the helper has scanned the category at `position`, then adds
  // its visit counts to `scan` and moves its findings to `results`, in their
  // order. A scan cancelled meanwhile takes no findings: had one thread
  // scanned the category, the cancel would have stopped it first.
  void TakeOver(size_t position, CScanContext& scan, CActionList& results);

  // Whether a second thread can pay off on this machine.
  static bool Worthwhile(size_t categories);

 private:
  struct Slot {
    bool claimed = false;
    bool done = false;
    int keys = 0;
    int values = 0;
    CActionList results;
  };

  void HelperMain();

  CCheckerSet& checkers_;
  const std::vector<int> order_;
  // The helper's own: its view, memory of answers and counters are its own,
  // and the scan's cancel reaches it.
  CScanContext context_;
  std::vector<std::unique_ptr<Slot>> slots_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread helper_;
};

}  // namespace RegCheck
