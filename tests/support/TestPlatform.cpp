#include "support/TestPlatform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace testsupport {

bool ProcessIs64Bit() { return sizeof(void*) == 8; }

bool PrefixIs64Bit() {
  const char* arch = getenv("VARNHOLT_PREFIX_ARCH");
  if (arch && strcmp(arch, "win64") == 0) return true;
  if (arch && strcmp(arch, "win32") == 0) return false;
  ADD_FAILURE() << "VARNHOLT_PREFIX_ARCH must be win64 or win32, is " << (arch ? arch : "unset");
  return false;
}

bool ExpectWow64() { return !ProcessIs64Bit() && PrefixIs64Bit(); }

bool RunsUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace testsupport
