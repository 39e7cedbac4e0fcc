// varnholt-cli: the console front end.

#include <windows.h>
#include <objbase.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/ConsoleCommands.h"

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  std::vector<std::string> args(argv + 1, argv + argc);
  int rc = RegCheck::RunConsoleCommand(args, std::cout, std::cerr);
  std::cout.flush();
  CoUninitialize();
  return rc;
}
