#pragma once
// Settings the program writes for others to read: the error counts of the
// last scan, the fix-run marker, and the system description of the log.

#include <map>
#include <string>

// Category bit (0 for the never-counted "entire search") to error count.
using CategoryCountMap = std::map<int, int>;

class CAppSettings {
 public:
  // Writes the eleven count values in their fixed order; a key missing from
  // `counts` is inserted with 0 and written as 0.
  void SaveCategoryCounts(CategoryCountMap& counts) const;
  // Sets "regCLS" to 1; done at the end of every fix run.
  void MarkFixRun() const;
  // "\r\nVarnholt Version 1.37 on <version>, <architecture>".
  std::string GetSystemDescription() const;
  // The version text of the program ("Version 1.37").
  static std::string GetVersionString();
};

// The process's settings store, created on first use.
CAppSettings& GetAppSettings();
