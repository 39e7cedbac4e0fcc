// Shared DLL counts: the value name is the DLL's path, tested as a plain file
// (after expansion, then along PATH); the fix removes just that value.

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "checkers/SharedDllChecker.h"
#include "engine/ScanCategories.h"
#include "support/EnvOverride.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

class SharedDllCheckerTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
  }

  // The value names the scan reports, sorted.
  std::vector<std::string> Reported() {
    CActionList results;
    CSharedDllChecker().Scan(context_, results);
    std::vector<std::string> names;
    for (CRegistryAction* action : results)
      names.push_back(static_cast<CSharedDllAction*>(action)->GetValueName());
    std::sort(names.begin(), names.end());
    return names;
  }

};

TEST_F(SharedDllCheckerTest, MissingDllIsReportedWithItsTexts) {
  const std::string present = temp_.MakeFile("lib\\present.dll");
  const std::string gone = temp_.PathOf("lib\\gone.dll");
  SetDword(HKEY_LOCAL_MACHINE, kKey, present, 3);
  SetDword(HKEY_LOCAL_MACHINE, kKey, gone, 1);

  CActionList results;
  CSharedDllChecker().Scan(context_, results);
  ASSERT_EQ(1, results.Count());
  CRegistryAction* action = results.At(0);
  EXPECT_EQ(kCatSharedDll, action->GetCategory());
  EXPECT_EQ(1, action->IsSelected());
  std::string text = "sentinel";
  EXPECT_EQ(1, action->GetDescription(text));
  EXPECT_EQ("Shared dll " + gone + " not exists", text);
  EXPECT_EQ(1, action->GetLocation(text));
  EXPECT_EQ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls (VALUE:" + gone + ")",
            text);
}

TEST_F(SharedDllCheckerTest, NamesAreExpandedAndSearchedAlongPath) {
  temp_.MakeFile("vars\\expanded.dll");
  temp_.MakeFile("onpath\\bare.dll");
  EnvOverride dir("VH_DLLDIR", temp_.PathOf("vars"));
  EnvOverride path("PATH", "C:\\nowhere;" + temp_.PathOf("onpath") + "\\\\");
  SetDword(HKEY_LOCAL_MACHINE, kKey, "%VH_DLLDIR%\\expanded.dll", 1);
  SetDword(HKEY_LOCAL_MACHINE, kKey, "%VH_DLLDIR%\\missing.dll", 1);
  SetDword(HKEY_LOCAL_MACHINE, kKey, "bare.dll", 1);
  SetDword(HKEY_LOCAL_MACHINE, kKey, "notonpath.dll", 1);
  // The reported name stays as the value is named, unexpanded.
  EXPECT_EQ((std::vector<std::string>{"%VH_DLLDIR%\\missing.dll", "notonpath.dll"}), Reported());
}

TEST_F(SharedDllCheckerTest, FoldersAndNonFilesAreReportedWhateverTheData) {
  const std::string folder = temp_.MakeDir("adir");
  const std::string present = temp_.MakeFile("x.dll");
  SetDword(HKEY_LOCAL_MACHINE, kKey, folder, 1);
  // The data is a count and not read: a string or empty value is no error.
  SetString(HKEY_LOCAL_MACHINE, kKey, present, "not a number");
  SetRaw(HKEY_LOCAL_MACHINE, kKey, temp_.PathOf("y.dll"), REG_BINARY, nullptr, 0);
  EXPECT_EQ((std::vector<std::string>{folder, temp_.PathOf("y.dll")}), Reported());
}

TEST_F(SharedDllCheckerTest, SubkeysAreNotDescendedAndAMissingKeyFindsNothing) {
  EXPECT_TRUE(Reported().empty());
  SetDword(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\Nested", temp_.PathOf("gone.dll"), 1);
  EXPECT_TRUE(Reported().empty());
}

TEST_F(SharedDllCheckerTest, FixDeletesOnlyItsValueAndRecordsARestorableBackup) {
  const std::string gone = temp_.PathOf("gone.dll");
  const std::string present = temp_.MakeFile("present.dll");
  SetDword(HKEY_LOCAL_MACHINE, kKey, gone, 0x01020304);
  SetDword(HKEY_LOCAL_MACHINE, kKey, present, 7);
  SetDword(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\Nested", gone, 9);

  CActionList results;
  CSharedDllChecker().Scan(context_, results);
  ASSERT_EQ(1, results.Count());
  EXPECT_EQ(1, results.At(0)->Fix());
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kKey, gone));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kKey, present));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\Nested", gone));

  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(1, session.Count());
  EXPECT_EQ("Shared DLL entry " + gone, session.At(0)->GetDescription());
  EXPECT_EQ(1, session.At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kKey, gone, type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(std::string("\x04\x03\x02\x01", 4), data);

  // A second fix finds nothing to delete and says so.
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
  EXPECT_EQ(0, results.At(0)->Fix());
  EXPECT_EQ(1, session.Count());
}

}  // namespace
