#include "engine/ScanAhead.h"

#include <windows.h>

#include "checkers/CheckerSet.h"

namespace RegCheck {

CScanAhead::CScanAhead(CCheckerSet& checkers, const std::vector<int>& order,
                       const CScanContext& scan)
    : checkers_(checkers), order_(order), context_(&scan) {
  for (size_t i = 0; i < order_.size(); ++i) slots_.push_back(std::make_unique<Slot>());
  context_.SetRemembering(true);
  helper_ = std::thread(&CScanAhead::HelperMain, this);
}

CScanAhead::~CScanAhead() {
  context_.Cancel();
  helper_.join();
}

bool CScanAhead::Worthwhile(size_t categories) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  return categories > 1 && system.dwNumberOfProcessors > 1;
}

bool CScanAhead::ClaimForCaller(size_t position) {
  std::lock_guard<std::mutex> hold(lock_);
  Slot& slot = *slots_[position];
  if (slot.claimed) return false;
  slot.claimed = true;
  return true;
}

void CScanAhead::TakeOver(size_t position, CScanContext& scan, CActionList& results) {
  Slot& slot = *slots_[position];
  {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&slot] { return slot.done; });
  }
  if (scan.IsCancelled()) {
    slot.results.Clear();
    return;
  }
  scan.AddVisits(slot.keys, slot.values);
  results.TakeAll(slot.results);
}

void CScanAhead::HelperMain() {
  for (size_t position = order_.size(); position-- > 0;) {
    Slot& slot = *slots_[position];
    {
      std::lock_guard<std::mutex> hold(lock_);
      // The scan thread has come this far: everything before is its own.
      if (slot.claimed || context_.IsCancelled()) return;
      slot.claimed = true;
    }
    context_.ResetCounters();
    checkers_.Scan(order_[position], context_, slot.results);
    {
      std::lock_guard<std::mutex> hold(lock_);
      slot.keys = context_.GetKeysVisited();
      slot.values = context_.GetValuesVisited();
      slot.done = true;
    }
    changed_.notify_all();
  }
}

}  // namespace RegCheck
