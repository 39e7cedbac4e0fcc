#pragma once
// Command-line splitting. Each argument after the program name is handed
// to ParseParam; an argument that starts with '/' or '-' is a flag and
// arrives without that first character.

#include <string>
#include <vector>

namespace fw {

class CCommandLineInfo {
 public:
  virtual ~CCommandLineInfo() = default;
  // `param` without its flag marker when `flag` is true; `last` is true for
  // the final argument. The base ignores everything.
  virtual void ParseParam(const char* param, bool flag, bool last);
};

// Splits a full command line (program name first) as the C runtime does:
// blanks separate arguments, double quotes group, 2n backslashes before a
// quote give n backslashes, 2n+1 give n and a literal quote.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Feeds every argument of `commandLine` except the program name to `info`.
void ParseCommandLine(const char* commandLine, CCommandLineInfo& info);

}  // namespace fw
