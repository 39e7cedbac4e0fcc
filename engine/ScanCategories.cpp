#include "engine/ScanCategories.h"

namespace RegCheck {

const ScanCategory kScanCategories[kCategoryCount] = {
    {kCatComObject, "COM objects entries", "regComObject"},
    {kCatAppPath, "Application && Installer paths entries", "regAppPath"},
    {kCatFileAssociation, "File associations entries", "regFileAssociation"},
    {kCatSharedDll, "Shared DLLs entries", "regSharedDll"},
    {kCatServices, "Services && Drivers entries", "regService"},
    {kCatFonts, "Windows Fonts entries", "regFonts"},
    {kCatHelpFiles, "Help files entries", "regHelpFiles"},
    {kCatStartup, "Startup programs entries", "regStartup"},
    {kCatUninstall, "Uninstall entries", "regUninstall"},
    {kCatHistory, "MRU && History entries", "regHistory"},
};

const ScanCategory* FindScanCategory(int bit) {
  for (const ScanCategory& category : kScanCategories)
    if (category.bit == bit) return &category;
  return nullptr;
}

}  // namespace RegCheck
