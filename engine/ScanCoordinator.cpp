#include "engine/ScanCoordinator.h"

#include <memory>
#include <vector>

#include "engine/ScanAhead.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

CScanCoordinator::CScanCoordinator()
    : doneEvent_(CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      startedEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void CScanCoordinator::Start(CActionList* results) {
  results_ = results;
  // Read on the caller's thread, before the worker exists, so the worker
  // only ever reads the filter.
  ignored_.Load();
  context_.ResetCounters();
  context_.ClearCancel();
  ResetEvent(startedEvent_);
  // The thread is not waited for through its handle: doneEvent tells when
  // the scan is over.
  OwnedHandle thread(CreateThread(nullptr, 0, &CScanCoordinator::ThreadMain, this, 0, nullptr));
  if (!thread) return;
  // The worker resets doneEvent before it signals startedEvent.
  WaitForSingleObject(startedEvent_, INFINITE);
}

void CScanCoordinator::SetProgressCallback(IRegProgressCallback* callback) {
  callback_ = callback;
  context_.SetProgressCallback(callback);
}

void CScanCoordinator::Cancel() { context_.Cancel(); }

void CScanCoordinator::ClearCancel() { context_.ClearCancel(); }

int CScanCoordinator::IsCancelled() const { return context_.IsCancelled() ? 1 : 0; }

int CScanCoordinator::IsRunning() const {
  return WaitForSingleObject(doneEvent_, 0) == WAIT_OBJECT_0 ? 0 : 1;
}

void CScanCoordinator::WaitDone() { WaitForSingleObject(doneEvent_, INFINITE); }

DWORD WINAPI CScanCoordinator::ThreadMain(LPVOID self) {
  static_cast<CScanCoordinator*>(self)->RunScan();
  return 0;
}

void CScanCoordinator::RunScan() {
  ResetEvent(doneEvent_);
  SetEvent(startedEvent_);
  // A cancel is not tested here: it ends every walk at its next step, so each
  // selected stage still gets its begin and end notice.
  // Existence answers cannot change during one scan; remember them until
  // its end so a file named by many entries is looked up once.
  context_.SetRemembering(true);
  results_->SetFilter(&ignored_);
  if (callback_) callback_->OnStage(0, 1);
  std::vector<int> order;
  for (const ScanCategory& category : kScanCategories)
    if (categories_ & category.bit) order.push_back(category.bit);
  std::unique_ptr<CScanAhead> ahead;
  if (CScanAhead::Worthwhile(order.size()))
    ahead = std::make_unique<CScanAhead>(checkers_, order, context_);
  for (size_t position = 0; position < order.size(); ++position) {
    if (callback_) callback_->OnStage(order[position], 1);
    if (!ahead || ahead->ClaimForCaller(position))
      checkers_.Scan(order[position], context_, *results_);
    else
      ahead->TakeOver(position, context_, *results_);
    if (callback_) callback_->OnStage(order[position], 0);
  }
  ahead.reset();
  // The list outlives this scan; the user's later additions are not filtered.
  results_->SetFilter(nullptr);
  context_.SetRemembering(false);
  if (callback_) callback_->OnStage(0, 0);
  SetEvent(doneEvent_);
}

CScanCoordinator& GetScanCoordinator() {
  static CScanCoordinator coordinator;
  return coordinator;
}

}  // namespace RegCheck
