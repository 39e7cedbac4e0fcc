// Application settings keys, App Paths, installer folders and installer
// components over a sandboxed registry and real temporary files, and every
// kind of fix with its restore.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CheckerTestSupport.h"
#include "checkers/AppPathChecker.h"
#include "support/EnvOverride.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

using Lines = std::vector<std::string>;

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char kFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
const char kUserData[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";
const char kComponents[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components";

Lines Sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Only the findings whose text contains `part`.
Lines Matching(const Lines& lines, const std::string& part) {
  Lines kept;
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) kept.push_back(line);
  return Sorted(kept);
}

class AppPathTest : public checkertest::CheckerTest {
 protected:
  void SetUp() override {
    CheckerTest::SetUp();
    apps_ = temp_.MakeDir("apps");
    good_ = temp_.MakeFile("apps\\good.exe");
    temp_.MakeFile("onpath\\helper.exe");
    path_.reset(new EnvOverride("PATH", temp_.PathOf("onpath")));
    appDir_.reset(new EnvOverride("VH_APPDIR", apps_));
  }
  void TearDown() override {
    appDir_.reset();
    path_.reset();
    CheckerTest::TearDown();
  }

  void AppPath(const std::string& name, const std::string& valueName, const std::string& value) {
    SetString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\" + name, valueName, value);
  }
  void Component(const std::string& key, const std::string& valueName, const std::string& value,
                 DWORD type = REG_SZ) {
    SetString(HKEY_LOCAL_MACHINE, std::string(kComponents) + "\\" + key, valueName, value, type);
  }

  std::string apps_, good_;
  std::unique_ptr<EnvOverride> path_, appDir_;
  CAppPathChecker checker_;
};

TEST_F(AppPathTest, SettingsKeysWithoutDataAreReported) {
  CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Empty");
  SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\EmptyDefault", "", "");
  SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Text", "", "x");
  SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zero", "Count", 0);
  SetRaw(HKEY_LOCAL_MACHINE, "SOFTWARE\\NoBytes", "Flag", REG_BINARY, "", 0);
  SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\NumberDefault", "", 0);
  SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\LongDefault", "", std::string(600, 'x'));
  CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Parent\\EmptyChild");  // only direct subkeys count
  CreateKey(HKEY_CURRENT_USER, "Software\\UserEmpty");
  SetString(HKEY_CURRENT_USER, "Software\\UserFull", "Name", "");
  // Empty, but a key the deletion guard never removes: no fix could ever
  // make the finding go away, so there is none.
  CreateKey(HKEY_CURRENT_USER, "Software\\Policies");
  CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft");

  const Lines found = Findings(checker_);
  EXPECT_EQ(Lines({"HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty does not contain any data"
                   " @ HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty",
                   "HKEY_LOCAL_MACHINE\\SOFTWARE\\EmptyDefault does not contain any data"
                   " @ HKEY_LOCAL_MACHINE\\SOFTWARE\\EmptyDefault"}),
            Matching(found, "HKEY_LOCAL_MACHINE"));
  EXPECT_EQ(Lines({"HKEY_CURRENT_USER\\Software\\UserEmpty does not contain any data"
                   " @ HKEY_CURRENT_USER\\Software\\UserEmpty"}),
            Matching(found, "HKEY_CURRENT_USER"));
  EXPECT_EQ(3u, found.size());
  EXPECT_FALSE(CAppPathChecker::CheckSettingsKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vanished"));
}

TEST_F(AppPathTest, AppPathsForms) {
  AppPath("good.exe", "", "\"%VH_APPDIR%\\good.exe\"");
  AppPath("gone.exe", "", apps_ + "\\gone.exe");
  AppPath("bare.exe", "", "helper.exe");
  AppPath("folder.exe", "", apps_);
  SetDword(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\ts.exe", "BlockOnTSNonInstallMode", 1);
  AppPath("ts.exe", "", apps_ + "\\gone.exe");
  AppPath("tsgood.exe", "BlockOnTSNonInstallMode", "1");
  AppPath("tsgood.exe", "", good_);
  AppPath("tsbad.exe", "BlockOnTSNonInstallMode", "1");
  AppPath("tsbad.exe", "", apps_ + "\\gone.exe");
  AppPath("cmstp", "CmstpExtensionDll", good_);
  AppPath("cmstpbad", "CmstpExtensionDll", apps_ + "\\gone.dll");
  AppPath("nothing.exe", "Path", apps_);
  SetDword(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "\\number.exe", "", 1);

  const std::string at = " @ HKLM\\" + std::string(kAppPaths) + "\\";
  EXPECT_EQ(Sorted({"Application cmstpbad not exist" + at + "cmstpbad",
                    "Application folder.exe not exist" + at + "folder.exe",
                    "Application gone.exe not exist" + at + "gone.exe",
                    "Application nothing.exe not exist" + at + "nothing.exe",
                    "Application number.exe not exist" + at + "number.exe",
                    "Application tsbad.exe not exist" + at + "tsbad.exe"}),
            Matching(Findings(checker_), "Application "));
}

TEST_F(AppPathTest, InstallerFoldersCountOnlyMissingOnes) {
  SetString(HKEY_LOCAL_MACHINE, kFolders, apps_ + "\\", "");
  SetString(HKEY_LOCAL_MACHINE, kFolders, temp_.PathOf("gone") + "\\", "");
  SetDword(HKEY_LOCAL_MACHINE, kFolders, temp_.PathOf("gone2") + "\\", 0);  // not a text
  SetString(HKEY_LOCAL_MACHINE, kFolders, "", "");
  // Failures other than "not found" (here an invalid name) count as present.
  SetString(HKEY_LOCAL_MACHINE, kFolders, "C:\\bad|name\\", "");
  SetString(HKEY_LOCAL_MACHINE, std::string(kFolders) + "\\Nested", temp_.PathOf("gone3"), "");

  const std::string at = std::string(" @ ") + kFolders + "\\";
  EXPECT_EQ(Sorted({" does not exist" + at,
                    temp_.PathOf("gone") + "\\ does not exist" + at + temp_.PathOf("gone") + "\\",
                    temp_.PathOf("gone3") + " does not exist" + at + "Nested\\" +
                        temp_.PathOf("gone3")}),
            Matching(Findings(checker_), " does not exist"));
  EXPECT_TRUE(CAppPathChecker::CheckInstallerFolder(context_, apps_));
  EXPECT_TRUE(CAppPathChecker::CheckInstallerFolder(context_, "C:\\bad|name\\"));
  EXPECT_FALSE(CAppPathChecker::CheckInstallerFolder(context_, temp_.PathOf("gone\\deeper")));
}

TEST_F(AppPathTest, AccessDeniedInstallerFoldersArePresent) {
  // Wine answers from the host's permissions, and root passes every folder
  // permission; a lookup through another process's root link is refused to
  // it all the same on many hosts.
  const std::string denied = "Z:\\proc\\1\\root\\varnholt-denied\\";
  if (GetFileAttributesA(denied.c_str()) != INVALID_FILE_ATTRIBUTES ||
      GetLastError() != ERROR_ACCESS_DENIED)
    GTEST_SKIP() << "this host lets the test reach " << denied;
  SetString(HKEY_LOCAL_MACHINE, kFolders, denied, "");
  SetString(HKEY_LOCAL_MACHINE, kFolders, temp_.PathOf("gone") + "\\", "");
  EXPECT_EQ(Lines({temp_.PathOf("gone") + "\\ does not exist @ " + kFolders + "\\" +
                   temp_.PathOf("gone") + "\\"}),
            Matching(Findings(checker_), " does not exist"));
}

TEST_F(AppPathTest, InstallerComponentPaths) {
  std::string questioned = good_;
  questioned[1] = '?';
  Component("C1", "P1", good_);
  Component("C2", "P2", apps_ + "\\gone.dll");  // the folder is still there
  Component("C3", "P3", temp_.PathOf("gonedir\\x.dll"));
  Component("C4", "P4", questioned);
  Component("C5", "P5", "C?\\nowhere\\x.dll");
  Component("C6", "P6", "01:\\Software\\Vendor\\Gone\\");
  Component("C7", "P7", "");
  Component("C8", "P8", "abc");
  Component("C9", "TUID", temp_.PathOf("gonedir\\x.dll"));
  Component("CA", "PA", temp_.PathOf("gonedir\\x.dll") + std::string("\0", 1), REG_MULTI_SZ);
  Component("CB", "PB", temp_.PathOf("gonedir\\x.dll"), REG_EXPAND_SZ);
  Component("CC", "PC", "C:\\" + std::string(300, 'p'));
  std::string bad = "sentinel";
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kComponents) + "\\C1").c_str(),
                                         0, KEY_READ, &key));
  BYTE data[1024];
  DWORD size = sizeof(data);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "P1", nullptr, nullptr, data, &size));
  RegCloseKey(key);
  EXPECT_TRUE(CAppPathChecker::CheckInstallerPath(context_, data, size, bad));
  EXPECT_EQ("sentinel", bad);

  // Each line names the component key with its root, and the product.
  const std::string at = std::string(" @ HKLM\\") + kComponents + "\\";
  const std::string gone = temp_.PathOf("gonedir");
  EXPECT_EQ(Sorted({"P3 points to " + gone + ", which does not exist" + at + "C3 (VALUE:P3)",
                    "P5 points to C:\\nowhere, which does not exist" + at + "C5 (VALUE:P5)",
                    "P7 contains an empty value" + at + "C7 (VALUE:P7)",
                    "PA points to " + gone + ", which does not exist" + at + "CA (VALUE:PA)",
                    "PC contains an empty value" + at + "CC (VALUE:PC)"}),
            Matching(Findings(checker_), at));
  for (CRegistryAction* action : results_) {
    auto* app = static_cast<CAppPathAction*>(action);
    if (app->GetName() == "P3") {
      EXPECT_EQ(std::string(kComponents) + "\\C3", app->GetKeyPath());
    }
  }
}

TEST_F(AppPathTest, ExcludedComponentPathsAreNeverTested) {
  const std::string gone = temp_.PathOf("gonedir\\x.dll");
  SetString(HKEY_LOCAL_MACHINE, std::string(kUserData) + "\\S-1-5-18\\Products\\P\\InstallProperties",
            "LocalPackage", gone);
  Component("0F239A832EE38934F99670D66DA01406", "P1", gone);
  Component("1234AA067AE35678", "P2", gone);
  Component("EFA68E81E630E654A9EEA90716ECE50E", "P3", gone);  // the list's last entry
  Component("12D11AB", "P4", gone);
  Component("Plain", "P5", gone);

  const std::string at = std::string(" @ HKLM\\") + kComponents + "\\";
  EXPECT_EQ(Lines({"P4 points to " + temp_.PathOf("gonedir") + ", which does not exist" + at +
                       "12D11AB (VALUE:P4)",
                   "P5 points to " + temp_.PathOf("gonedir") + ", which does not exist" + at +
                       "Plain (VALUE:P5)"}),
            Matching(Findings(checker_), at));
  // With Office 2000 present, component keys holding "D11" are left alone.
  CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\9.0");
  EXPECT_EQ(Lines({"P5 points to " + temp_.PathOf("gonedir") + ", which does not exist" + at +
                   "Plain (VALUE:P5)"}),
            Matching(Findings(checker_), at));
}

TEST_F(AppPathTest, EveryKindFixesExactlyItsEntryAndRestores) {
  AppPath("gone.exe", "", apps_ + "\\gone.exe");
  AppPath("gone.exe", "Path", apps_);
  AppPath("good.exe", "", good_);
  Component("C1", "P1", good_);
  Component("C3", "P3", temp_.PathOf("gonedir\\x.dll"));
  Component("C3", "P9", good_);
  SetString(HKEY_LOCAL_MACHINE, kFolders, apps_ + "\\", "");
  SetString(HKEY_LOCAL_MACHINE, kFolders, temp_.PathOf("gone") + "\\", "");
  SetString(HKEY_LOCAL_MACHINE, std::string(kFolders) + "\\Nested", temp_.PathOf("gone3"), "");
  SetString(HKEY_LOCAL_MACHINE, std::string(kFolders) + "\\Nested", apps_, "");
  CreateKey(HKEY_CURRENT_USER, "Software\\UserEmpty");
  SetString(HKEY_CURRENT_USER, "Software\\UserFull", "Name", "x");
  SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\EmptyDefault", "", "");

  Findings(checker_);
  struct Expected {
    int kind;
    std::string name;
    std::string gone;
    std::string backup;
  };
  const std::string folders = std::string("HKLM\\") + kFolders;
  const Expected expected[] = {
      {0, "gone.exe", std::string("HKLM\\") + kAppPaths + "\\gone.exe",
       "Application path entry gone.exe"},
      // Only the stale product's reference goes; P9's stays with its key.
      {1, "P3", std::string("HKLM\\") + kComponents + "\\C3|P3",
       "Installer path entry " + std::string(kComponents) + "\\C3\\P3"},
      {2, temp_.PathOf("gone") + "\\", folders + "|" + temp_.PathOf("gone") + "\\",
       "Installer folder entry " + temp_.PathOf("gone") + "\\"},
      {2, temp_.PathOf("gone3"), folders + "\\Nested|" + temp_.PathOf("gone3"),
       "Installer folder entry " + temp_.PathOf("gone3")},
      {3, "UserEmpty", "HKCU\\Software\\UserEmpty", "Application settings entry UserEmpty"},
      {3, "EmptyDefault", "HKLM\\SOFTWARE\\EmptyDefault", "Application settings entry EmptyDefault"},
  };
  ASSERT_EQ(6, results_.Count());
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    CAppPathAction* found = nullptr;
    for (CRegistryAction* action : results_) {
      auto* app = static_cast<CAppPathAction*>(action);
      if (app->GetKind() == e.kind && app->GetName() == e.name) found = app;
    }
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(0x1, found->GetCategory());
    ExpectFixRemovesAndRestores(*found, e.gone, e.backup);
  }
}

}  // namespace

// A survey of the running prefix's own registry; run by hand with
// --gtest_also_run_disabled_tests to list what a real scan reports.
TEST(AppPathRealRegistry, DISABLED_PrintFindings) {
  // The walks reached the real keys and the scan ran to its end.
  EXPECT_GT(checkertest::PrintRealScan(0x1), 0);
}
