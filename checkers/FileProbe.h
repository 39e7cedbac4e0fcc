#pragma once
// The one place the path rules touch the file system. A probe answers the
// attributes of one candidate path, seen through both views of a 32-bit
// process on 64-bit Windows, and remembers answers in the scan context while
// the scan has remembering on.

#include <windows.h>

#include <string>

#include "engine/ScanContext.h"

namespace RegCheck {

// Attributes of `path`, or INVALID_FILE_ATTRIBUTES when it does not exist.
// Under WOW64 a path the redirected (32-bit) view lacks is looked up again
// with file-system redirection off, so a file that only the native System32
// holds still counts as present. An answer remembered in `context` is given
// without a lookup, and a looked-up answer is remembered there. So is a
// folder a lookup found missing, and candidates below it are then answered
// "missing" without one.
DWORD ProbeFileAttributes(CScanContext& context, const std::string& path);

// Number of file-system lookups made by this process so far (answers from
// the memo do not count); for benchmarks and tests.
long ProbeCount();

// Benchmark controls. Turning the memo off makes every probe ask the file
// system, whatever the context would remember; turning file checks off
// makes CheckFile answer "found" without touching the file system, which
// leaves the bare walk and value reads of a scan.
void SetProbeMemoEnabled(bool enabled);
void SetFileChecksEnabled(bool enabled);
bool FileChecksEnabled();

}  // namespace RegCheck
