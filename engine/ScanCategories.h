#pragma once
// The ten scan categories: bit, label of the scan panel row and settings
// value that stores the category's error count, in the order the scan runs
// them (also the order of the scan panel's rows).

namespace RegCheck {

enum ScanCategoryBit : int {
  kCatAppPath = 0x1,
  kCatSharedDll = 0x2,
  kCatHelpFiles = 0x4,
  kCatUninstall = 0x8,
  kCatFileAssociation = 0x10,
  kCatServices = 0x20,
  kCatComObject = 0x40,
  kCatStartup = 0x80,
  kCatFonts = 0x100,
  kCatHistory = 0x200,
};

constexpr int kAllCategories = 0x3FF;
constexpr int kCategoryCount = 10;

struct ScanCategory {
  int bit;
  const char* label;          // control text: "&&" shows as "&"
  const char* settingsValue;  // profile value holding the error count
};

extern const ScanCategory kScanCategories[kCategoryCount];

// The table row for `bit`, or null when it is no single category bit.
const ScanCategory* FindScanCategory(int bit);

}  // namespace RegCheck
