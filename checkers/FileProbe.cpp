#include "checkers/FileProbe.h"

#include <ctype.h>

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

// `error` gets the lookup's error code when it fails.
DWORD Lookup(const std::string& path, DWORD& error) {
  InterlockedIncrement(&g_probes);
  DWORD attributes = GetFileAttributesA(path.c_str());
  error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
  return attributes;
}

// Redirection is per thread, so turning it off around one call affects no
// other thread's file access. When it cannot be turned off, `error` is
// ERROR_SUCCESS: nothing is known of the native view.
DWORD LookupNative(const std::string& path, DWORD& error) {
  error = ERROR_SUCCESS;
  const RedirectionControl& control = Redirection();
  if (!control.disable || !control.revert) return INVALID_FILE_ATTRIBUTES;
  PVOID previous = nullptr;
  if (!control.disable(&previous)) return INVALID_FILE_ATTRIBUTES;
  DWORD attributes = Lookup(path, error);
  control.revert(previous);
  return attributes;
}

// Whether the folder part of `path` names the same folder however the path
// goes on, so a folder found missing once answers for everything below it: a
// full path on a drive, below its root, whose names hold no "." or ".."
// (which Windows resolves before looking anything up), no doubled or forward
// slashes and nothing that is not part of a plain name (wildcards, streams).
bool HasPlainFolder(const std::string& path) {
  if (path.size() < 6 || !isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
      path[2] != '\\')
    return false;
  if (path.find_first_of("/*?\"<>|:", 2) != std::string::npos) return false;
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    if (name.empty() || name == "." || name == "..") return false;
    start = end + 1;
  }
  return path.find('\\', 3) != std::string::npos;
}

bool g_memoEnabled = true;
bool g_fileChecksEnabled = true;

}  // namespace

DWORD ProbeFileAttributes(CScanContext& context, const std::string& path) {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  if (g_memoEnabled && context.Recall(path, attributes)) return attributes;
  // PATH folders that do not exist on this machine are tried for every bare
  // name, each with its extensions: one lookup per folder answers them all.
  const bool plainFolder = g_memoEnabled && HasPlainFolder(path);
  if (plainFolder && context.IsBelowMissingFolder(path)) return INVALID_FILE_ATTRIBUTES;
  DWORD error = ERROR_SUCCESS;
  attributes = Lookup(path, error);
  if (attributes == INVALID_FILE_ATTRIBUTES && IsRunningUnderWow64())
    attributes = LookupNative(path, error);
  if (plainFolder && error == ERROR_PATH_NOT_FOUND)
    context.RememberMissingFolder(path.substr(0, path.rfind('\\')));
  if (g_memoEnabled) context.Remember(path, attributes);
  return attributes;
}

long ProbeCount() { return g_probes; }

void SetProbeMemoEnabled(bool enabled) { g_memoEnabled = enabled; }
void SetFileChecksEnabled(bool enabled) { g_fileChecksEnabled = enabled; }
bool FileChecksEnabled() { return g_fileChecksEnabled; }

}  // namespace RegCheck
