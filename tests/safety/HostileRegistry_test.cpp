// Hostile registry data in every area the checkers and tools read: values
// without terminators, odd sizes, 1 MiB strings, multi-strings without their
// double terminator, names of 255 and 1024+ characters, a subtree 400 levels
// deep. A full scan, every tool, a fix of everything found and a restore of
// everything backed up must neither crash nor leave the registry changed.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/BackupSession.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/RegistryDump.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"
#include "tools/IEPluginManager.h"
#include "tools/StartupManager.h"
#include "tools/UninstallManager.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const std::string kMiB(1 << 20, 'x');

// Writes raw bytes (any type, any size) through the Unicode call, so the
// registry stores exactly these bytes.
void Raw(HKEY root, const std::string& key, const std::string& name, DWORD type,
         const std::string& bytes) {
  SetRaw(root, key, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void PlantHostileValues(HKEY root, const std::string& key) {
  Raw(root, key, "unterminated", REG_SZ, "C:\\no\\term.exe");
  Raw(root, key, "odd", REG_SZ, std::string("C:\\a\0b", 5));
  Raw(root, key, "huge", REG_SZ, kMiB);
  Raw(root, key, "hugeExpand", REG_EXPAND_SZ, kMiB + std::string(1, '\0'));
  Raw(root, key, "multi", REG_MULTI_SZ, std::string("C:\\gone\\a.exe\0C:\\b", 18));
  Raw(root, key, "binary3", REG_BINARY, "\x01\x02\x03");
  Raw(root, key, "dword2", REG_DWORD, "\x01\x02");
  Raw(root, key, "", REG_SZ, kMiB);
  Raw(root, key, std::string(255, 'n'), REG_SZ, std::string("C:\\gone\\long.exe", 17));
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
    // Longer names may be refused by the registry; then they are simply absent.
    std::string longer(1100, 'm');
    RegSetValueExA(h, longer.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\x"), 5);
    RegCloseKey(h);
  }
}

void PlantHostileKeys(HKEY root, const std::string& parent) {
  const std::string prefix = parent.empty() ? "" : parent + "\\";
  PlantHostileValues(root, prefix + "{11111111-0000-0000-0000-000000000001}");
  PlantHostileValues(root, prefix + "{11111111-0000-0000-0000-000000000001}\\InprocServer32");
  PlantHostileValues(root, prefix + std::string(100, 'k'));
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, parent.empty() ? nullptr : parent.c_str(), 0, KEY_ALL_ACCESS, &h) ==
      ERROR_SUCCESS) {
    // Created relative to open handles: the long names must not also make
    // one long path string.
    HKEY sub = nullptr, inner = nullptr;
    if (RegCreateKeyExA(h, std::string(250, 'k').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &sub, nullptr) == ERROR_SUCCESS) {
      if (RegCreateKeyExA(sub, std::string(250, 'j').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &inner, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(inner, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\gone\\x.exe"), 14);
        RegCloseKey(inner);
      }
      RegCloseKey(sub);
    }
    std::string longer(1100, 'q');
    if (RegCreateKeyExA(h, longer.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) ==
        ERROR_SUCCESS)
      RegCloseKey(sub);
    RegCloseKey(h);
  }
}

// 400 nested keys with a finding at the bottom, below a key walked at any
// depth.
void PlantDeepTree(HKEY root, const std::string& parent) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, parent.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  for (int level = 0; level < 400; ++level) {
    HKEY child = nullptr;
    if (RegCreateKeyExA(key, "d", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) !=
        ERROR_SUCCESS)
      break;
    RegCloseKey(key);
    key = child;
  }
  RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\gone\\deep.dll"), 17);
  RegSetValueExA(key, "C:\\gone\\deep.dll", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  RegCloseKey(key);
}

class HostileRegistry : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
  }

};

TEST_F(HostileRegistry, ScanToolsFixAndRestoreSurviveAndUndoEverything) {
  const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  for (const std::string& key : std::vector<std::string>{cv + "\\SharedDlls", cv + "\\Run", cv + "\\RunOnce", "SOFTWARE\\Microsoft\\Windows\\Help",
        "SOFTWARE\\Microsoft\\Windows\\HTML Help", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
        cv + "\\Installer\\Folders", "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar"})
    PlantHostileValues(HKEY_LOCAL_MACHINE, key);
  for (const std::string& key : std::vector<std::string>{cv + "\\Run", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt"})
    PlantHostileValues(HKEY_CURRENT_USER, key);
  for (const std::string& parent : std::vector<std::string>{cv + "\\App Paths", cv + "\\Uninstall", cv + "\\App Management\\ARPCache",
        std::string("SYSTEM\\CurrentControlSet\\Services"), std::string("SOFTWARE\\Classes"),
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects",
        std::string("SOFTWARE\\Microsoft\\Internet Explorer\\Extensions"),
        cv + "\\Installer\\UserData\\S-1-5-18\\Components"})
    PlantHostileKeys(HKEY_LOCAL_MACHINE, parent);
  PlantHostileKeys(HKEY_CLASSES_ROOT, "CLSID");
  PlantHostileKeys(HKEY_CLASSES_ROOT, "AppID");
  PlantHostileKeys(HKEY_CLASSES_ROOT, "");
  PlantHostileKeys(HKEY_CURRENT_USER, "Software");
  PlantHostileKeys(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
  PlantDeepTree(HKEY_CLASSES_ROOT, "TypeLib\\{22222222-0000-0000-0000-000000000002}");
  PlantDeepTree(HKEY_LOCAL_MACHINE, cv + "\\Installer\\UserData\\S-1-5-18\\Deep");
  // Asking the shell for the Recent folder makes Windows cache the shell
  // folders in the user's registry; that is the system's own doing.
  char recent[MAX_PATH];
  SHGetFolderPathA(nullptr, CSIDL_RECENT, nullptr, 0, recent);
  const RegistryPicture before = PictureOfSandbox();

  CActionList results;
  CScanCoordinator& coordinator = GetScanCoordinator();
  coordinator.SetCategories(kAllCategories);
  coordinator.SetProgressCallback(nullptr);
  coordinator.Start(&results);
  coordinator.WaitDone();
  EXPECT_GT(results.Count(), 0);
  for (CRegistryAction* action : results) {
    std::string text;
    action->GetDescription(text);
    action->GetLocation(text);
  }
  EXPECT_TRUE(Differences(before, PictureOfSandbox()).empty()) << "a scan changed the registry";

  CStartupManager startup;
  startup.Refresh();
  CUninstallManager software;
  software.Refresh();
  CIEPluginManager plugins;
  plugins.Refresh();
  for (const StartupEntry& entry : startup.GetEntries()) EXPECT_LE(entry.DisplayText().size(), kMiB.size() + 300);

  // Fix everything that was found, then write back everything backed up.
  while (results.Count() > 0) {
    CRegistryAction* action = results.At(0);
    action->Fix();
    action->Release();
  }
  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_GT(session.Count(), 0);
  for (IRegistryOperation* operation : session) EXPECT_EQ(1, operation->Restore()) << operation->GetDescription();

  std::vector<std::string> differences = Differences(before, PictureOfSandbox());
  for (const std::string& difference : differences) ADD_FAILURE() << "not undone: " << difference;

  // The session survives its own file.
  ASSERT_EQ(1, session.Save(temp_.PathOf("hostile.rbk")));
  CBackupSession loaded;
  ASSERT_EQ(1, loaded.Load(temp_.PathOf("hostile.rbk")));
  EXPECT_EQ(session.Count(), loaded.Count());
}

}  // namespace
