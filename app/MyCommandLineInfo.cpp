#include "app/MyCommandLineInfo.h"

#include <cstring>

#include "app/AppOptions.h"

void CMyCommandLineInfo::ParseParam(const char* param, bool flag, bool) {
  if (!flag || !param) return;
  if (std::strcmp(param, "fast") == 0) {
    options_.SetBackgroundMode(1);
  } else if (std::strcmp(param, "scan") == 0) {
    options_.SetBackgroundMode(1);
    options_.SetScanAtStart(1);
  }
}
