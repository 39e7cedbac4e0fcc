#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "backup/CleaningLog.h"

int main(int argc, char** argv) {
  // Keep Windows from showing a dialog when a test provokes a fault.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  CoInitialize(nullptr);
  // No test may write the real log at the root of drive C; tests that read
  // the log point it at a file of their own.
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  RegCheck::CCleaningLog::SetPathForTesting(std::string(temp, n) + "varnholt-tests.log");
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  CoUninitialize();
  return rc;
}
