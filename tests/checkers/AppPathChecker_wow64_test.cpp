// The settings passes on both platforms: two on 32-bit Windows, and on
// 64-bit Windows the "Wow6432Node" twins as keys of their own, whatever the
// program's bitness.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckerTestSupport.h"
#include "checkers/AppPathChecker.h"
#include "checkers/PathRules.h"
#include "support/TestPlatform.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

using Lines = std::vector<std::string>;

Lines Sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string Finding(const std::string& key) {
  return key + " does not contain any data @ " + key;
}

class AppPathWow64Test : public checkertest::CheckerTest {
 protected:
  void SetUp() override {
    CheckerTest::SetUp();
    // The twins exist before anything else is written, as on 64-bit Windows.
    CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\EmptyWow");
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\FullWow", "v", "1");
    CreateKey(HKEY_CURRENT_USER, "Software\\Wow6432Node\\EmptyUserWow");
    CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\EmptyNative");
    CreateKey(HKEY_CURRENT_USER, "Software\\EmptyUser");
    SetString(HKEY_CURRENT_USER, "Software\\Full", "v", "1");
  }

  CAppPathChecker checker_;
};

TEST_F(AppPathWow64Test, SettingsPassesFollowThePlatform) {
  EXPECT_EQ(ExpectWow64(), IsRunningUnderWow64());

  const Lines found = Sorted(Findings(checker_));
  if (PrefixIs64Bit()) {
    EXPECT_EQ(Sorted({Finding("HKEY_LOCAL_MACHINE\\SOFTWARE\\EmptyNative"),
                      Finding("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\EmptyWow"),
                      Finding("HKEY_CURRENT_USER\\Software\\EmptyUser"),
                      Finding("HKEY_CURRENT_USER\\Software\\Wow6432Node\\EmptyUserWow")}),
              found);
  } else {
    // The twins are ordinary keys here, with subkeys, and are not walked.
    EXPECT_EQ(Sorted({Finding("HKEY_LOCAL_MACHINE\\SOFTWARE\\EmptyNative"),
                      Finding("HKEY_CURRENT_USER\\Software\\EmptyUser")}),
              found);
  }
}

TEST_F(AppPathWow64Test, SettingsFixesRemoveFromTheKeyTheyNamed) {
  Findings(checker_);
  ASSERT_EQ(PrefixIs64Bit() ? 4 : 2, results_.Count());
  for (CRegistryAction* action : results_) {
    auto* app = static_cast<CAppPathAction*>(action);
    SCOPED_TRACE(app->GetName());
    const std::string root = app->GetRootSelector() == CAppPathAction::kUser ? "HKCU" : "HKLM";
    ExpectFixRemovesAndRestores(*app, root + "\\" + app->GetKeyPath() + "\\" + app->GetName(),
                                "Application settings entry " + app->GetName());
  }
}

}  // namespace
