#include "engine/SystemInfo.h"

#include <windows.h>

#include <cstdio>

#include "engine/RegView.h"

namespace RegCheck {

void GetOsVersion(std::string& version, std::string& architecture) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  // GetVersionExA is deprecated but is what reports the version this
  // process sees, which is the one worth logging.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
  char text[32];
  snprintf(text, sizeof(text), "%d.%d", static_cast<int>(info.dwMajorVersion),
           static_cast<int>(info.dwMinorVersion));
  version = text;
  snprintf(text, sizeof(text), "%d", IsWindows64() ? 9 : 0);
  architecture = text;
}

std::string GetSystemDescription(const std::string& versionString) {
  std::string version, architecture;
  GetOsVersion(version, architecture);
  return "\r\nVarnholt " + versionString + " on " + version + ", " + architecture;
}

}  // namespace RegCheck
