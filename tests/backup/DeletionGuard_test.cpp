// Deletions the backup manager refuses: containers, roots and names that
// would reach outside the key they name.

#include <windows.h>

#include <gtest/gtest.h>

#include "BackupFixture.h"
#include "BackupTestFiles.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

class DeletionGuardTest : public BackupFixture {
 protected:
  // Plants `parent`\`name` with a value, asks for its deletion and reports
  // whether the key is gone.
  bool Deletes(HKEY root, const std::string& parent, const std::string& name) {
    const std::string key = parent.empty() ? name : parent + "\\" + name;
    SetString(root, key, "sentinel", "1");
    const int result = manager_->DeleteKey("probe", root, parent, name);
    const bool gone = !ValueExists(root, key, "sentinel");
    EXPECT_EQ(gone ? 1 : 0, result) << key;
    return gone;
  }
  std::string Log() {
    std::string text;
    ReadFileBytes(temp_.PathOf("reg_clean.log"), text);
    return text;
  }
};

TEST_F(DeletionGuardTest, ContainerKeysAreNeverDeleted) {
  const struct {
    HKEY root;
    const char* parent;
    const char* name;
  } containers[] = {
      {HKEY_CLASSES_ROOT, "", "CLSID"},
      {HKEY_CLASSES_ROOT, "", "TypeLib"},
      {HKEY_CLASSES_ROOT, "", "Interface"},
      {HKEY_CLASSES_ROOT, "", "AppID"},
      {HKEY_LOCAL_MACHINE, "", "SOFTWARE"},
      {HKEY_CURRENT_USER, "", "Software"},
      {HKEY_LOCAL_MACHINE, "Software", "Classes"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "App Paths"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "Uninstall"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Management", "ARPCache"},
      {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet", "Services"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "SharedDlls"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "Fonts"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows", "Help"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows", "HTML Help"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion", "Run"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "RunOnce"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "Browser Helper Objects"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", "Extensions"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", "Toolbar"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "RecentDocs"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32", "OpenSaveMRU"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "FileExts"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "Installer"},
      // Case does not matter, and a container reached through a longer
      // name is still a container.
      {HKEY_CLASSES_ROOT, "", "clsid"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows", "CurrentVersion\\Uninstall"},
  };
  for (const auto& c : containers) EXPECT_FALSE(Deletes(c.root, c.parent, c.name)) << c.parent << "\\" << c.name;
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
  EXPECT_NE(std::string::npos,
            Log().find("CBackupManager::DeleteKey refused (Software\\Microsoft\\Windows\\CurrentVersion, Run): "));
}

TEST_F(DeletionGuardTest, EntriesInsideContainersStillGo) {
  EXPECT_TRUE(Deletes(HKEY_CLASSES_ROOT, "CLSID", "{00000000-1111-2222-3333-444444444444}"));
  EXPECT_TRUE(Deletes(HKEY_CLASSES_ROOT, "", ".vhext"));
  EXPECT_TRUE(Deletes(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "Stale"));
  EXPECT_TRUE(Deletes(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
                      ".txt"));
  EXPECT_TRUE(Deletes(HKEY_LOCAL_MACHINE,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components",
                      "0123456789ABCDEF0123456789ABCDEF"));
  EXPECT_EQ(5, manager_->GetCurrentSession().Count());
}

TEST_F(DeletionGuardTest, InstallerUserDataLevelsAreKept) {
  const std::string userData = "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";
  EXPECT_FALSE(Deletes(HKEY_LOCAL_MACHINE, userData, "S-1-5-18"));
  EXPECT_FALSE(Deletes(HKEY_LOCAL_MACHINE, userData + "\\S-1-5-18", "Components"));
  EXPECT_FALSE(Deletes(HKEY_LOCAL_MACHINE, userData + "\\S-1-5-18", "Products"));
  EXPECT_FALSE(Deletes(HKEY_LOCAL_MACHINE, userData, "S-1-5-18\\Components"));
}

TEST_F(DeletionGuardTest, NamesThatEscapeOrAreEmptyAreRefused) {
  SetString(HKEY_CURRENT_USER, "Software\\App\\Child", "v", "1");
  const char* names[] = {"", "\\", "\\\\\\", "..", "..\\App", "\\Child", "Child\\", "Child\\..", "Child\\\\x", "."};
  for (const char* name : names) {
    EXPECT_EQ(0, manager_->DeleteKey("trick", HKEY_CURRENT_USER, "Software\\App", name)) << name;
  }
  EXPECT_EQ(0, manager_->DeleteKey("trick", HKEY_CURRENT_USER, "Software\\..\\App", "Child"));
  EXPECT_EQ(0, manager_->DeleteKey("trick", HKEY_CURRENT_USER, "Software\\\\App", "Child"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\App\\Child", "v"));
  // Other roots, real or made up, are not ours to delete in.
  EXPECT_EQ(0, manager_->DeleteKey("root", HKEY_USERS, "", ".DEFAULT"));
  EXPECT_EQ(0, manager_->DeleteValue("root", HKEY_USERS, ".DEFAULT", "v"));
  EXPECT_EQ(0, manager_->DeleteKey("root", nullptr, "Software", "App"));
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
  EXPECT_NE(std::string::npos, Log().find("CBackupManager::DeleteKey refused (Software\\App, ): "));
}

TEST_F(DeletionGuardTest, ValueNamesMayHoldBackslashes) {
  const std::string dlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
  SetDword(HKEY_LOCAL_MACHINE, dlls, "C:\\Gone\\x.dll", 1);
  EXPECT_EQ(1, manager_->DeleteValue("dll", HKEY_LOCAL_MACHINE, dlls, "C:\\Gone\\x.dll"));
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, dlls, "C:\\Gone\\x.dll"));
  EXPECT_EQ(0, manager_->DeleteValue("path", HKEY_LOCAL_MACHINE, "Software\\..\\x", "v"));
}

}  // namespace
