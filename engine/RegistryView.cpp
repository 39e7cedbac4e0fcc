#include "engine/RegistryView.h"

#include <strings.h>

namespace RegCheck {

const char* RegistryViewOfLocation(const std::string& location) {
  static const char kNode[] = "\\wow6432node\\";
  const size_t length = sizeof(kNode) - 1;
  for (size_t i = 0; i + length <= location.size(); ++i)
    if (strncasecmp(location.c_str() + i, kNode, length) == 0) return "32-bit";
  return "native";
}

}  // namespace RegCheck
