#include "framework/CommandLineInfo.h"

namespace fw {

void CCommandLineInfo::ParseParam(const char*, bool, bool) {}

std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> args;
  if (!line) return args;
  const char* p = line;
  // The program name ends at the next blank, or at the closing quote; no
  // backslash rules apply to it.
  while (*p == ' ' || *p == '\t') ++p;
  if (*p) {
    std::string name;
    if (*p == '"') {
      ++p;
      while (*p && *p != '"') name += *p++;
      if (*p == '"') ++p;
    } else {
      while (*p && *p != ' ' && *p != '\t') name += *p++;
    }
    args.push_back(name);
  }
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string arg;
    bool quoted = false;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '\\') {
        size_t n = 0;
        while (*p == '\\') {
          ++n;
          ++p;
        }
        if (*p == '"') {
          arg.append(n / 2, '\\');
          if (n % 2) {
            arg += '"';
            ++p;
          }
        } else {
          arg.append(n, '\\');
        }
      } else if (*p == '"') {
        // Inside quotes, a doubled quote is a literal quote.
        if (quoted && p[1] == '"') {
          arg += '"';
          p += 2;
        } else {
          quoted = !quoted;
          ++p;
        }
      } else {
        arg += *p++;
      }
    }
    args.push_back(arg);
  }
  return args;
}

void ParseCommandLine(const char* commandLine, CCommandLineInfo& info) {
  std::vector<std::string> args = SplitCommandLine(commandLine);
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool flag = !a.empty() && (a[0] == '/' || a[0] == '-');
    info.ParseParam(flag ? a.c_str() + 1 : a.c_str(), flag, i + 1 == args.size());
  }
}

}  // namespace fw
