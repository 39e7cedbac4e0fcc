#pragma once
// The plain-text cleaning log: one line per fix-run boundary and per
// registry deletion, appended and never read back.

#include <windows.h>

#include <string>

namespace RegCheck {

class CCleaningLog {
 public:
  CCleaningLog();
  ~CCleaningLog();
  CCleaningLog(const CCleaningLog&) = delete;
  CCleaningLog& operator=(const CCleaningLog&) = delete;

  // Formats printf-style and appends the text plus "\n". The file is opened
  // and closed for every line so it is complete on disk after each one; a
  // file that cannot be opened loses the line without any report. Safe to
  // call from any thread.
  void Print(const char* format, ...);

  std::string GetPath();
  // Points the process's log at another file; for tests only, so that they
  // never write to the root of drive C.
  static void SetPathForTesting(const std::string& path);

 private:
  void Append(const std::string& text);

  std::string logPath_;
  CRITICAL_SECTION lock_;
};

// The one cleaning log of the process, created on first use.
CCleaningLog& GetCleaningLog();

}  // namespace RegCheck
