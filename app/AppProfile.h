#pragma once
// The program's profile: values under HKEY_CURRENT_USER
// "Software\Varnholt\Varnholt\Settings".

#include "framework/Profile.h"

// Section holding every value the program keeps.
constexpr char kSettingsSection[] = "Settings";

// The running application's profile once its registry key is set; before
// that (and in processes without an application object) a profile over the
// same key, so values never land anywhere else.
const fw::CProfile& GetAppProfile();
