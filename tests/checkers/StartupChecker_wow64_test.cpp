// The Wow6432Node twins of the start keys: scanned only under WOW64, where a
// 32-bit process sees HKLM\SOFTWARE through its Wow6432Node, so the twin and
// the plain key are one key and its entries must be reported once.

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

TEST_F(StartupTwinTest, TwinEntriesAreReportedOnceUnderWow64AndIgnoredOtherwise) {
  // The sandbox's roots are ordinary keys, so the registry treats a
  // Wow6432Node created below them as it treats the real ones.
  const std::string gone = temp_.PathOf("gone.exe");
  SetString(HKEY_LOCAL_MACHINE, kTwinRun, "Machine32", gone);
  SetString(HKEY_CURRENT_USER, kTwinRun, "User32", gone);
  const std::string present = temp_.MakeFile("present.exe");
  SetString(HKEY_LOCAL_MACHINE, kTwinRun, "Alive32", present);

  CActionList results;
  CStartupChecker().Scan(results);
  if (IsRunningUnderWow64()) {
    // The plain path already reaches the twin; the twin pass finds it is the
    // same key and does not walk it again.
    ASSERT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Machine32"))
        << "the plain start key no longer leads to its twin";
    EXPECT_EQ((std::vector<std::string>{
                  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Machine32)",
                  "HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:User32)"}),
              Locations(results));
    // Fixing through the reported path removes the twin's value.
    ASSERT_EQ(2, results.Count());
    EXPECT_EQ(1, results.At(0)->Fix());
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kTwinRun, "Machine32"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kTwinRun, "Alive32"));
  } else {
    // On 32-bit Windows a Wow6432Node key is just a key nobody reads.
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Machine32"));
    EXPECT_TRUE(Locations(results).empty());
    SetString(HKEY_LOCAL_MACHINE, kRun, "Machine", gone);
    results.Clear();
    CStartupChecker().Scan(results);
    EXPECT_EQ((std::vector<std::string>{
                  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Machine)"}),
              Locations(results));
  }
}

}  // namespace
