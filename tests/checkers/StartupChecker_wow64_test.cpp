// The Wow6432Node twins of the start keys: on 64-bit Windows they are the
// 32-bit programs' own start keys, walked after the native ones and reported
// under their own names; on 32-bit Windows nobody reads them.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "checkers/PathRules.h"
#include "checkers/StartupChecker.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"
#include "support/TestPlatform.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kTwinRun[] = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

std::vector<std::string> Locations(const CActionList& results) {
  std::vector<std::string> found;
  for (CRegistryAction* action : results) {
    std::string location;
    action->GetLocation(location);
    found.push_back(location);
  }
  return found;
}

class StartupTwinTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
  }

};

TEST_F(StartupTwinTest, TwinEntriesAreTheirOwnOn64BitWindowsAndIgnoredOtherwise) {
  const std::string gone = temp_.PathOf("gone.exe");
  SetString(HKEY_LOCAL_MACHINE, kRun, "Machine64", gone);
  SetString(HKEY_LOCAL_MACHINE, kTwinRun, "Machine32", gone);
  SetString(HKEY_CURRENT_USER, kTwinRun, "User32", gone);
  const std::string present = temp_.MakeFile("present.exe");
  SetString(HKEY_LOCAL_MACHINE, kTwinRun, "Alive32", present);

  CActionList results;
  CStartupChecker().Scan(context_, results);
  if (PrefixIs64Bit()) {
    EXPECT_EQ((std::vector<std::string>{
                  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Machine64)",
                  "HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Machine32)",
                  "HKCU\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:User32)"}),
              Locations(results));
    // Fixing the twin's entry removes it from the twin alone.
    ASSERT_EQ(3, results.Count());
    EXPECT_EQ(1, results.At(1)->Fix());
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kTwinRun, "Machine32"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kTwinRun, "Alive32"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Machine64"));
  } else {
    EXPECT_EQ((std::vector<std::string>{
                  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Machine64)"}),
              Locations(results));
  }
}

}  // namespace
