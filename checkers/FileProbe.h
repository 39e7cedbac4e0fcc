#pragma once
// The one place the path rules touch the file system. A probe answers the
// attributes of one candidate path, seen through both views of a 32-bit
// process on 64-bit Windows, and may remember answers for the length of one
// scan.

#include <windows.h>

#include <string>

namespace RegCheck {

// Attributes of `path`, or INVALID_FILE_ATTRIBUTES when it does not exist.
// Under WOW64 a path the redirected (32-bit) view lacks is looked up again
// with file-system redirection off, so a file that only the native System32
// holds still counts as present.
DWORD ProbeFileAttributes(const std::string& path);

// Number of file-system lookups made by this process so far (answers from
// the memo do not count); for benchmarks and tests.
long ProbeCount();

// While an object of this class lives, probes on the thread that created it
// remember their answers by the exact candidate string, so a file named by a
// thousand entries is looked up once. The scan creates one per run; its end
// drops everything remembered.
class CProbeMemo {
 public:
  CProbeMemo();
  ~CProbeMemo();
  CProbeMemo(const CProbeMemo&) = delete;
  CProbeMemo& operator=(const CProbeMemo&) = delete;

 private:
  bool owner_;  // false for a memo nested inside another on the same thread
};

// Benchmark controls. Turning the memo off makes every CProbeMemo inert;
// turning file checks off makes CheckFile answer "found" without touching
// the file system, which leaves the bare walk and value reads of a scan.
void SetProbeMemoEnabled(bool enabled);
void SetFileChecksEnabled(bool enabled);
bool FileChecksEnabled();

}  // namespace RegCheck
