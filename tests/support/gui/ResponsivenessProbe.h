#pragma once
// Checks from a helper thread that a UI thread keeps answering: every
// 100 ms it sends WM_NULL with SendMessageTimeout to each window `targets`
// names and counts the sends that did not come back within the limit.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace guitest {

class ResponsivenessProbe {
 public:
  // `targets` runs on the probe's thread before each round; windows that
  // are gone by the send are skipped (a closed dialog is no hang).
  ResponsivenessProbe(std::function<std::vector<HWND>()> targets, DWORD limitMs = 1000,
                      DWORD periodMs = 100);
  ~ResponsivenessProbe();
  ResponsivenessProbe(const ResponsivenessProbe&) = delete;
  ResponsivenessProbe& operator=(const ResponsivenessProbe&) = delete;

  // Stops probing; the figures below are final afterwards.
  void Stop();
  int Answered() const { return answered_; }
  int Late() const { return late_; }
  DWORD WorstMs() const { return worst_; }
  // One line per late send: window class and how long it took.
  std::string Report() const;

 private:
  void Run(std::function<std::vector<HWND>()> targets, DWORD limitMs, DWORD periodMs);

  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::atomic<int> late_{0};
  std::atomic<DWORD> worst_{0};
  mutable std::mutex mutex_;
  std::string report_;
  std::thread thread_;
};

}  // namespace guitest
