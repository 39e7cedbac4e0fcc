#pragma once
// Runs another Windows program of the build as a separate process and
// collects its exit code and output, for end-to-end tests.

#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
  bool started = false;
  unsigned long exitCode = 0;
  std::string output;  // standard output and standard error, interleaved
};

// Runs `exe` with `args` (each quoted), in `workDir` when given, waiting at
// most `timeoutMs`; a process still running then is terminated.
ProcessResult RunProcess(const std::string& exe, const std::vector<std::string>& args,
                         unsigned long timeoutMs = 120000);

// Windows path of a file in the build tree, from its path relative to the
// build directory (VARNHOLT_BUILD_DIR names it; under Wine the Unix root is
// drive Z:).
std::string BuildTreeFile(const std::string& relative);
// The same for the source tree (VARNHOLT_SOURCE_DIR) and for the folder that
// holds the build trees and the prefixes (VARNHOLT_PREFIX_DIR).
std::string SourceTreeFile(const std::string& relative);
std::string PrefixDirFile(const std::string& relative);

// Copies a file; false when it fails.
bool CopyFileTo(const std::string& from, const std::string& to);

}  // namespace testsupport
