#include "support/EnvOverride.h"

#include <windows.h>

#include <vector>

namespace testsupport {

EnvOverride::EnvOverride(const char* name, const std::string& value) : name_(name) {
  DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed > 0) {
    std::vector<char> buffer(needed);
    DWORD got = GetEnvironmentVariableA(name, buffer.data(), needed);
    previous_.assign(buffer.data(), got);
    hadValue_ = true;
  }
  SetEnvironmentVariableA(name, value.c_str());
}

EnvOverride::~EnvOverride() {
  SetEnvironmentVariableA(name_.c_str(), hadValue_ ? previous_.c_str() : nullptr);
}

}  // namespace testsupport
