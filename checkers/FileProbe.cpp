#include "checkers/FileProbe.h"

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

bool g_memoEnabled = true;
bool g_fileChecksEnabled = true;

}  // namespace

DWORD ProbeFileAttributes(CScanContext& context, const std::string& path) {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  if (g_memoEnabled && context.Recall(path, attributes)) return attributes;
  attributes = Lookup(path);
  if (attributes == INVALID_FILE_ATTRIBUTES && IsRunningUnderWow64()) attributes = LookupNative(path);
  if (g_memoEnabled) context.Remember(path, attributes);
  return attributes;
}

long ProbeCount() { return g_probes; }

void SetProbeMemoEnabled(bool enabled) { g_memoEnabled = enabled; }
void SetFileChecksEnabled(bool enabled) { g_fileChecksEnabled = enabled; }
bool FileChecksEnabled() { return g_fileChecksEnabled; }

}  // namespace RegCheck
