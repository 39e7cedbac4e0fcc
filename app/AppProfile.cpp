#include "app/AppProfile.h"

#include "framework/WinApp.h"

const fw::CProfile& GetAppProfile() {
  static const fw::CProfile fallback("Varnholt", "Varnholt");
  fw::CWinApp* app = fw::GetApp();
  if (app && !app->Profile().SectionPath(kSettingsSection).empty()) return app->Profile();
  return fallback;
}
