#include "support/gui/ResponsivenessProbe.h"

namespace guitest {

ResponsivenessProbe::ResponsivenessProbe(std::function<std::vector<HWND>()> targets, DWORD limitMs,
                                         DWORD periodMs)
    : thread_([this, targets, limitMs, periodMs] { Run(targets, limitMs, periodMs); }) {}

ResponsivenessProbe::~ResponsivenessProbe() { Stop(); }

void ResponsivenessProbe::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string ResponsivenessProbe::Report() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return report_;
}

void ResponsivenessProbe::Run(std::function<std::vector<HWND>()> targets, DWORD limitMs,
                              DWORD periodMs) {
  const DWORD begin = GetTickCount();
  while (!stop_) {
    const DWORD round = GetTickCount();
    for (HWND hwnd : targets()) {
      if (!IsWindow(hwnd)) continue;
      const DWORD start = GetTickCount();
      DWORD_PTR result = 0;
      // No SMTO_ABORTIFHUNG: Wine's idea of "hung" would end the wait
      // early and hide exactly the stall this measures.
      const LRESULT ok = SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result);
      const DWORD took = GetTickCount() - start;
      if (took > worst_) worst_ = took;
      if (ok && took <= limitMs) {
        ++answered_;
      } else if (IsWindow(hwnd)) {
        ++late_;
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        std::lock_guard<std::mutex> lock(mutex_);
        report_ += std::string(cls) + " took " + std::to_string(took) + " ms, " +
                   std::to_string(start - begin) + " ms after the probe began\n";
      }
    }
    const DWORD spent = GetTickCount() - round;
    if (spent < periodMs) Sleep(periodMs - spent);
  }
}

}  // namespace guitest
