// varnholt-cli: the console front end.

#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/ConsoleCommands.h"
#include "backup/CleaningLog.h"

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  // End-to-end tests run this program as a separate process and must not
  // write the real log at the root of drive C.
  if (const char* testLog = getenv("VARNHOLT_LOG_FOR_TESTS"))
    RegCheck::CCleaningLog::SetPathForTesting(testLog);
  std::vector<std::string> args(argv + 1, argv + argc);
  int rc = RegCheck::RunConsoleCommand(args, std::cout, std::cerr);
  std::cout.flush();
  CoUninitialize();
  return rc;
}
