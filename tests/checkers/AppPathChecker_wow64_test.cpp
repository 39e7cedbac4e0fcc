// The settings passes on both platforms: two on 32-bit Windows, and under
// WOW64 the "Wow6432Node" twins as well. In the sandbox, as on Windows, a
// parent with a "Wow6432Node" subkey shows a 32-bit process the twin in its
// place; those two views are one key and must be reported once, under the
// twin's name.

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
  if (IsRunningUnderWow64()) {
    // Everything this process wrote below SOFTWARE went to the twin.
    EXPECT_EQ(Sorted({Finding("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\EmptyNative"),
                      Finding("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\EmptyWow"),
                      Finding("HKEY_CURRENT_USER\\Software\\Wow6432Node\\EmptyUser"),
                      Finding("HKEY_CURRENT_USER\\Software\\Wow6432Node\\EmptyUserWow")}),
              found);
  } else {
    // The twins are ordinary keys here, with subkeys, and are not walked.
    EXPECT_EQ(Sorted({Finding("HKEY_LOCAL_MACHINE\\SOFTWARE\\EmptyNative"),
                      Finding("HKEY_CURRENT_USER\\Software\\EmptyUser")}),
              found);
  }
}

TEST_F(AppPathWow64Test, SettingsFixesWorkThroughEitherView) {
  Findings(checker_);
  ASSERT_EQ(IsRunningUnderWow64() ? 4 : 2, results_.Count());
  for (CRegistryAction* action : results_) {
    auto* app = static_cast<CAppPathAction*>(action);
    SCOPED_TRACE(app->GetName());
    const std::string root = app->GetRootSelector() == CAppPathAction::kUser ? "HKCU" : "HKLM";
    // The dump sees the registry as this process does, twin in place of
    // its parent under WOW64.
    const std::string parent = root == "HKCU" ? "Software" : "SOFTWARE";
    EXPECT_EQ(IsRunningUnderWow64() ? parent + "\\Wow6432Node" : parent, app->GetKeyPath());
    ExpectFixRemovesAndRestores(*app, root + "\\" + parent + "\\" + app->GetName(),
                                "Application settings entry " + app->GetName());
  }
}

}  // namespace
