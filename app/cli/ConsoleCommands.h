#pragma once
// The console front end: scan, fix and restore without a window, for
// scripts and administrators.

#include <ostream>
#include <string>
#include <vector>

namespace RegCheck {

// Exit codes: 0 success (for scan: nothing found), 1 findings (scan) or a
// failed operation, 2 bad arguments.
constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;
constexpr int kExitUsage = 2;

// Runs one command line (without the program name).
int RunConsoleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace RegCheck
