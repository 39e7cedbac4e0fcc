#pragma once
// Sets an environment variable for the lifetime of the object and puts the
// previous value (or its absence) back afterwards.

#include <string>

namespace testsupport {

class EnvOverride {
 public:
  EnvOverride(const char* name, const std::string& value);
  ~EnvOverride();
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

 private:
  std::string name_;
  std::string previous_;
  bool hadValue_ = false;
};

}  // namespace testsupport
