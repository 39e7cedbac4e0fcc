#include "checkers/FileProbe.h"

#include <unordered_map>

#include "checkers/PathRules.h"

namespace RegCheck {

namespace {

using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

struct RedirectionControl {
  DisableFn disable = nullptr;
  RevertFn revert = nullptr;
};

// Looked up at run time: the functions are missing on older 32-bit Windows.
const RedirectionControl& Redirection() {
  static const RedirectionControl control = [] {
    RedirectionControl c;
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (kernel) {
      c.disable = reinterpret_cast<DisableFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
      c.revert = reinterpret_cast<RevertFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    }
    return c;
  }();
  return control;
}

volatile LONG g_probes = 0;

DWORD Lookup(const std::string& path) {
  InterlockedIncrement(&g_probes);
  return GetFileAttributesA(path.c_str());
}

// Redirection is per thread, so turning it off around one call affects no
// other thread's file access.
DWORD LookupNative(const std::string& path) {
  const RedirectionControl& control = Redirection();
  if (!control.disable || !control.revert) return INVALID_FILE_ATTRIBUTES;
  PVOID previous = nullptr;
  if (!control.disable(&previous)) return INVALID_FILE_ATTRIBUTES;
  DWORD attributes = Lookup(path);
  control.revert(previous);
  return attributes;
}

thread_local std::unordered_map<std::string, DWORD>* t_memo = nullptr;
bool g_memoEnabled = true;
bool g_fileChecksEnabled = true;

}  // namespace

DWORD ProbeFileAttributes(const std::string& path) {
  if (t_memo) {
    auto found = t_memo->find(path);
    if (found != t_memo->end()) return found->second;
  }
  DWORD attributes = Lookup(path);
  if (attributes == INVALID_FILE_ATTRIBUTES && IsRunningUnderWow64()) attributes = LookupNative(path);
  if (t_memo) t_memo->emplace(path, attributes);
  return attributes;
}

long ProbeCount() { return g_probes; }

void SetProbeMemoEnabled(bool enabled) { g_memoEnabled = enabled; }
void SetFileChecksEnabled(bool enabled) { g_fileChecksEnabled = enabled; }
bool FileChecksEnabled() { return g_fileChecksEnabled; }

CProbeMemo::CProbeMemo() : owner_(g_memoEnabled && t_memo == nullptr) {
  if (owner_) t_memo = new std::unordered_map<std::string, DWORD>();
}

CProbeMemo::~CProbeMemo() {
  if (!owner_) return;
  delete t_memo;
  t_memo = nullptr;
}

}  // namespace RegCheck
