#include "app/AppSettings.h"

#include <windows.h>

#include "app/AppProfile.h"
#include "engine/ScanCategories.h"
#include "engine/SystemInfo.h"
#include "res/resource.h"

namespace {

struct CountValue {
  int key;
  const char* name;
};

// The order in which the values are written.
const CountValue kCountValues[] = {
    {0, "regEntireSearch"},
    {RegCheck::kCatAppPath, "regAppPath"},
    {RegCheck::kCatSharedDll, "regSharedDll"},
    {RegCheck::kCatHelpFiles, "regHelpFiles"},
    {RegCheck::kCatUninstall, "regUninstall"},
    {RegCheck::kCatFileAssociation, "regFileAssociation"},
    {RegCheck::kCatServices, "regService"},
    {RegCheck::kCatComObject, "regComObject"},
    {RegCheck::kCatStartup, "regStartup"},
    {RegCheck::kCatFonts, "regFonts"},
    {RegCheck::kCatHistory, "regHistory"},
};

}  // namespace

void CAppSettings::SaveCategoryCounts(CategoryCountMap& counts) const {
  const fw::CProfile& profile = GetAppProfile();
  for (const CountValue& value : kCountValues)
    profile.WriteInt(kSettingsSection, value.name, counts[value.key]);
}

void CAppSettings::MarkFixRun() const {
  GetAppProfile().WriteInt(kSettingsSection, "regCLS", 1);
}

std::string CAppSettings::GetSystemDescription() const {
  return RegCheck::GetSystemDescription(GetVersionString());
}

std::string CAppSettings::GetVersionString() {
  char text[64] = "";
  if (LoadStringA(GetModuleHandleA(nullptr), IDS_VERSION, text, sizeof text) > 0) return text;
  // A program built without its resources still logs a version.
  return RegCheck::kVersionString;
}

CAppSettings& GetAppSettings() {
  static CAppSettings settings;
  return settings;
}
