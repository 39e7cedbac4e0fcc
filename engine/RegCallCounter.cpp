#include "engine/RegCallCounter.h"

#include <atomic>

namespace RegCheck {

namespace {

std::atomic<long> calls{0};

}  // namespace

void CountRegistryCall() { calls.fetch_add(1, std::memory_order_relaxed); }

long RegistryCallCount() { return calls.load(std::memory_order_relaxed); }

}  // namespace RegCheck
