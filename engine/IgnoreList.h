#pragma once
// Errors the user chose never to see again. Each entry is one value under
// the program's settings key, named "<category name>|<location>" (for
// example "SharedDll|HKLM\...\SharedDlls (VALUE:x.dll)"), holding the
// description the error had when it was ignored. Keeping the list in the
// registry rather than a file lets the windowed program, the console
// program and the scheduled scan of every user share it with no path to
// agree on.

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "engine/RegistryAction.h"

namespace RegCheck {

// HKEY_CURRENT_USER key of the list: beside the program's other settings.
extern const char kIgnoreListKey[];

// Longer stored names or descriptions are taken as damage and skipped; the
// same limits refuse such entries when they are added.
constexpr size_t kMaxIgnoreNameLength = 4096;
constexpr size_t kMaxIgnoreDescriptionLength = 2048;

struct IgnoreEntry {
  int category = 0;          // one category bit
  std::string location;      // as GetLocation words it
  std::string description;   // as GetDescription worded it; may be empty
};

// The stored entries in registry order. Values that are not text, whose name
// has no known category or no location, or that are over-long are skipped.
// No key: no entries.
std::vector<IgnoreEntry> ReadIgnoreList();

// Stores `entry` (replacing one with the same category and location).
// ERROR_INVALID_PARAMETER for no single category bit, an empty location or
// text over the limits; otherwise the registry's answer.
LONG AddIgnoreEntry(const IgnoreEntry& entry);

// Removes the entry of `category` and `location`; ERROR_FILE_NOT_FOUND when
// there is none.
LONG RemoveIgnoreEntry(int category, const std::string& location);

// The entry for a found error, from its category, location and description.
IgnoreEntry IgnoreEntryOf(CRegistryAction& action);

// Answers, during a scan, whether a found error is on the list. The
// registry compares names without regard to case, so the filter does too
// (ASCII letters; other bytes must match exactly).
class CIgnoreFilter : public IActionFilter {
 public:
  // Replaces the filter's entries with the stored list.
  void Load();
  void Load(const std::vector<IgnoreEntry>& entries);
  bool Empty() const { return keys_.empty(); }
  bool Excludes(CRegistryAction& action) const override;

 private:
  std::set<std::string> keys_;
};

}  // namespace RegCheck
