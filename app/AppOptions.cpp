#include "app/AppOptions.h"

#include "app/AppProfile.h"

CAppOptions::CAppOptions() { Load(); }

void CAppOptions::Load() {
  const fw::CProfile& profile = GetAppProfile();
  showSplash_ = static_cast<int>(profile.GetInt(kSettingsSection, "ShowSplash", 1));
  promptToFix_ = static_cast<int>(profile.GetInt(kSettingsSection, "PromptFix", 1));
  useSound_ = static_cast<int>(profile.GetInt(kSettingsSection, "UseSound", 1));
}

void CAppOptions::Save() const {
  const fw::CProfile& profile = GetAppProfile();
  profile.WriteInt(kSettingsSection, "ShowSplash", showSplash_);
  profile.WriteInt(kSettingsSection, "PromptFix", promptToFix_);
  profile.WriteInt(kSettingsSection, "UseSound", useSound_);
}

CAppOptions& GetAppOptions() {
  static CAppOptions options;
  return options;
}
