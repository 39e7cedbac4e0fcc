// Both registry views of 64-bit Windows, whatever this program's own
// bitness: a stale entry planted in the native view and one in the 32-bit
// view are each found with a location that names the view, each fix removes
// exactly its own entry from its own view, and each restore puts it back
// there byte for byte. The tools list and remove the entries of both views.
//
// The entries are written with the view flags, which the in-process registry
// sandbox does not redirect: this test runs on the real registry of a
// throwaway copy of the 64-bit prefix, and only ever looks at its own keys.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "checkers/AppPathChecker.h"
#include "checkers/ComObjectChecker.h"
#include "checkers/HelpFilesChecker.h"
#include "checkers/SharedDllChecker.h"
#include "checkers/StartupChecker.h"
#include "checkers/UninstallChecker.h"
#include "engine/RegView.h"
#include "engine/RegistryAction.h"
#include "engine/ScanContext.h"
#include "support/TempFolder.h"
#include "support/TestPlatform.h"
#include "tools/IEPluginManager.h"
#include "tools/StartupManager.h"
#include "tools/UninstallManager.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
const char* const kViewNames[] = {"native", "32-bit"};

struct Written {
  DWORD type = REG_NONE;
  std::string data;
  bool present = false;
};

Written Read(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
  Written out;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return out;
  DWORD size = 0;
  if (RegQueryValueExA(handle, name.c_str(), nullptr, &out.type, nullptr, &size) == ERROR_SUCCESS) {
    out.data.resize(size);
    out.present = RegQueryValueExA(handle, name.c_str(), nullptr, &out.type,
                                   reinterpret_cast<BYTE*>(&out.data[0]), &size) == ERROR_SUCCESS;
  }
  RegCloseKey(handle);
  return out;
}

bool KeyIn(HKEY root, const std::string& key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

void Write(HKEY root, const std::string& key, const std::string& name, const std::string& text,
           REGSAM view) {
  HKEY handle = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                           nullptr, &handle, nullptr))
      << key;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()),
                                          static_cast<DWORD>(text.size() + 1)));
  RegCloseKey(handle);
}

void DeleteTree(HKEY root, const std::string& parent, const std::string& name, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, parent.c_str(), 0, KEY_ALL_ACCESS | view, &handle) != ERROR_SUCCESS) return;
  RegDeleteTreeA(handle, name.c_str());
  RegDeleteKeyExA(handle, name.c_str(), view, 0);
  RegCloseKey(handle);
}

void DeleteValue(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name.c_str());
  RegCloseKey(handle);
}

// One planted entry: where it is, as a key ("" value) or a value, and the
// location line its finding must show for each view.
struct Entry {
  HKEY root;
  std::string key;    // the native path; the 32-bit view is reached through the flag
  std::string value;  // the value that makes it stale; for a key entry its own default
  bool keyEntry;      // the fix removes the key (else only the value)
  std::string locations[2];
};

class RegistryViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PrefixIs64Bit()) << "needs a 64-bit prefix";
    char text[32];
    wsprintfA(text, "%lu%lu", GetCurrentProcessId(), GetTickCount());
    token_ = text;
    manager_.reset(new CBackupManager(temp_.PathOf("Backup")));
    SetBackupManagerForTesting(manager_.get());
  }
  void TearDown() override {
    for (const auto& undo : cleanup_) undo();
    SetBackupManagerForTesting(nullptr);
    manager_.reset();
  }

  std::string Gone(const char* file) { return "C:\\vh_gone_" + token_ + "\\" + file; }

  // Plants the entry in both views; the key entry gets `data` as the value
  // named in the entry, the value entry gets it as its data.
  void Plant(const Entry& e, const std::string& data) {
    for (REGSAM view : kViews) {
      if (e.keyEntry) {
        Write(e.root, e.key, e.value, data, view);
        const size_t slash = e.key.rfind('\\');
        const std::string parent = e.key.substr(0, slash), name = e.key.substr(slash + 1);
        cleanup_.push_back([=] { DeleteTree(e.root, parent, name, view); });
      } else {
        Write(e.root, e.key, e.value, data, view);
        cleanup_.push_back([=] { DeleteValue(e.root, e.key, e.value, view); });
      }
    }
  }

  bool Present(const Entry& e, REGSAM view) {
    return e.keyEntry ? KeyIn(e.root, e.key, view) : Read(e.root, e.key, e.value, view).present;
  }

  // The findings of `results` whose location holds `marker`: this test's,
  // out of the whole prefix's.
  static std::string LocationOf(CRegistryAction* action) {
    std::string location;
    action->GetLocation(location);
    return location;
  }

  // Scans with `checker` into `results` and returns the findings whose
  // location holds `marker`.
  template <typename Checker>
  std::vector<CRegistryAction*> ScanMarked(Checker& checker, CActionList& results,
                                           const std::string& marker) {
    checker.Scan(context_, results);
    std::vector<CRegistryAction*> marked;
    for (CRegistryAction* action : results)
      if (LocationOf(action).find(marker) != std::string::npos) marked.push_back(action);
    return marked;
  }

  // Scans with `checker`, expects exactly the two findings for the entry,
  // native first, then fixes and restores each one and checks that only its
  // own view changed.
  // `marker` picks this test's findings out of the whole prefix's.
  template <typename Checker>
  void ExpectBothViewsFoundFixedAndRestored(Checker& checker, const Entry& e, std::string marker = "") {
    if (marker.empty()) marker = token_;
    CActionList results;
    const std::vector<CRegistryAction*> mine = ScanMarked(checker, results, marker);
    ASSERT_EQ(2u, mine.size());
    const Written before[2] = {Read(e.root, e.key, e.value, kViews[0]), Read(e.root, e.key, e.value, kViews[1])};
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(kViewNames[i]);
      EXPECT_EQ(e.locations[i], LocationOf(mine[i]));
      CBackupSession& session = manager_->GetCurrentSession();
      const int recorded = session.Count();
      ASSERT_EQ(1, mine[i]->Fix());
      EXPECT_FALSE(Present(e, kViews[i]));
      EXPECT_TRUE(Present(e, kViews[1 - i])) << "the other view's entry went too";
      ASSERT_EQ(recorded + 1, session.Count());
      ASSERT_EQ(1, session.At(recorded)->Restore());
      const Written after = Read(e.root, e.key, e.value, kViews[i]);
      EXPECT_TRUE(after.present);
      EXPECT_EQ(before[i].type, after.type);
      EXPECT_EQ(before[i].data, after.data);
    }
  }

  TempFolder temp_;
  std::string token_;
  CScanContext context_;
  std::unique_ptr<CBackupManager> manager_;
  std::vector<std::function<void()>> cleanup_;
};

const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kCvTwin[] = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";

TEST_F(RegistryViewsTest, MachineRunValues) {
  const std::string name = "VhRun" + token_;
  Entry e{HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Run", name, false,
          {"HKLM\\" + std::string(kCv) + "\\Run (VALUE:" + name + ")",
           "HKLM\\" + std::string(kCvTwin) + "\\Run (VALUE:" + name + ")"}};
  Plant(e, "\"" + Gone("tray.exe") + "\" /min");
  CStartupChecker checker;
  ExpectBothViewsFoundFixedAndRestored(checker, e);
}

// App Paths is one key for both kinds of program: written through either
// view it is the same key, walked and reported once, under its native name.
TEST_F(RegistryViewsTest, SharedAppPathsAreReportedOnce) {
  const std::string name = "vh" + token_ + ".exe";
  const std::string key = std::string(kCv) + "\\App Paths\\" + name;
  Write(HKEY_LOCAL_MACHINE, key, "", Gone("app.exe"), KEY_WOW64_32KEY);
  cleanup_.push_back([=] { DeleteTree(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\App Paths", name, 0); });
  ASSERT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY)) << "App Paths is no longer shared";
  CAppPathChecker checker;
  CActionList results;
  const std::vector<CRegistryAction*> mine = ScanMarked(checker, results, token_);
  ASSERT_EQ(1u, mine.size());
  EXPECT_EQ("HKLM\\" + key, LocationOf(mine[0]));
}

// Below the twin a 64-bit Windows shows the keys both kinds of program share
// (here Wine's empty "Registered Applications"): such a key is judged once,
// under its native name, and its fix succeeds.
TEST_F(RegistryViewsTest, SharedSettingsKeysAreReportedOnce) {
  const std::string shared = "Registered Applications";
  ASSERT_TRUE(IsSameKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + shared, "SOFTWARE\\Wow6432Node\\" + shared))
      << "the prefix no longer shares " << shared;
  CAppPathChecker checker;
  CActionList results;
  const std::vector<CRegistryAction*> mine = ScanMarked(checker, results, shared);
  ASSERT_EQ(1u, mine.size());
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\" + shared, LocationOf(mine[0]));
  EXPECT_EQ(1, mine[0]->Fix());
  EXPECT_FALSE(KeyIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + shared, KEY_WOW64_64KEY));
}

TEST_F(RegistryViewsTest, UninstallEntries) {
  const std::string name = "Vh" + token_;
  Entry e{HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Uninstall\\" + name, "UninstallString", true,
          {"HKLM\\" + std::string(kCv) + "\\Uninstall\\" + name,
           "HKLM\\" + std::string(kCvTwin) + "\\Uninstall\\" + name}};
  Plant(e, "\"" + Gone("unins000.exe") + "\"");
  CUninstallChecker checker;
  ExpectBothViewsFoundFixedAndRestored(checker, e);
}

TEST_F(RegistryViewsTest, SharedDlls) {
  const std::string name = Gone("shared.dll");
  Entry e{HKEY_LOCAL_MACHINE, std::string(kCv) + "\\SharedDlls", name, false,
          {"HKLM\\" + std::string(kCv) + "\\SharedDlls (VALUE:" + name + ")",
           "HKLM\\" + std::string(kCvTwin) + "\\SharedDlls (VALUE:" + name + ")"}};
  Plant(e, "x");
  CSharedDllChecker checker;
  ExpectBothViewsFoundFixedAndRestored(checker, e);
}

TEST_F(RegistryViewsTest, HelpFiles) {
  const std::string name = "vh" + token_ + ".hlp";
  Entry e{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", name, false,
          {"HKLM\\SOFTWARE\\Microsoft\\Windows\\Help (VALUE " + name + ")",
           "HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help (VALUE " + name + ")"}};
  Plant(e, "C:\\vh_gone_" + token_ + "\\help\\");
  CHelpFilesChecker checker;
  ExpectBothViewsFoundFixedAndRestored(checker, e);
}

TEST_F(RegistryViewsTest, ComClasses) {
  char id[64];
  wsprintfA(id, "{7A3F0000-0000-4000-8000-%012lu}", GetCurrentProcessId() * 100000 + GetTickCount() % 100000);
  const std::string clsid = id;
  Entry e{HKEY_CLASSES_ROOT, "CLSID\\" + clsid, "", true,
          {"HKCR\\CLSID\\" + clsid, "HKCR\\Wow6432Node\\CLSID\\" + clsid}};
  // The whole class key is the entry: its name, and its server below it.
  Plant(e, "Vh class");
  for (REGSAM view : kViews)
    Write(HKEY_CLASSES_ROOT, e.key + "\\InprocServer32", "", Gone("server.dll"), view);
  CComObjectChecker checker;
  ExpectBothViewsFoundFixedAndRestored(checker, e, clsid);
}

// A ProgID is one key for both kinds of program: it is sound while the class
// it names is sound in either view, and only reported when it is in none.
TEST_F(RegistryViewsTest, ProgIdOfAClassInOneViewOnly) {
  const std::string clsid = "{7A3F0001-0000-4000-8000-0000" + std::string(8, '0') + "}";
  const std::string progId = "Vh.Prog" + token_;
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  Write(HKEY_CLASSES_ROOT, progId + "\\CLSID", "", clsid, 0);
  cleanup_.push_back([=] { DeleteTree(HKEY_CLASSES_ROOT, "", progId, 0); });
  for (REGSAM only : kViews) {
    SCOPED_TRACE(only == KEY_WOW64_64KEY ? "class in the native view" : "class in the 32-bit view");
    Write(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", "", std::string(system) + "\\kernel32.dll",
          only);
    EXPECT_TRUE(CComObjectChecker::CheckProgId(context_, progId));
    Write(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", "", Gone("server.dll"), only);
    EXPECT_FALSE(CComObjectChecker::CheckProgId(context_, progId));
    DeleteTree(HKEY_CLASSES_ROOT, "CLSID", clsid, only);
  }
}

TEST_F(RegistryViewsTest, StartupToolListsAndRemovesBothViews) {
  const std::string name = "VhTool" + token_;
  for (REGSAM view : kViews) {
    Write(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Run", name, view == KEY_WOW64_64KEY ? "native" : "wow", view);
    cleanup_.push_back([=] { DeleteValue(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Run", name, view); });
  }
  CStartupManager manager;
  manager.Refresh();
  std::vector<const StartupEntry*> mine;
  for (const StartupEntry& entry : manager.GetEntries())
    if (entry.Name() == name) mine.push_back(&entry);
  ASSERT_EQ(2u, mine.size());
  EXPECT_EQ("native", mine[0]->Command());
  EXPECT_EQ("wow", mine[1]->Command());
  ASSERT_EQ(1, mine[1]->Remove());
  EXPECT_TRUE(Read(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Run", name, KEY_WOW64_64KEY).present);
  EXPECT_FALSE(Read(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Run", name, KEY_WOW64_32KEY).present);
  ASSERT_EQ(1, mine[0]->Remove());
  EXPECT_FALSE(Read(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Run", name, KEY_WOW64_64KEY).present);
}

TEST_F(RegistryViewsTest, UninstallAndPluginToolsListAndRemoveBothViews) {
  const std::string name = "VhTool" + token_;
  const std::string bho = "{7A3F0002-0000-4000-8000-000000000000}";
  const std::string bhoKey = std::string(kCv) + "\\Explorer\\Browser Helper Objects";
  for (REGSAM view : kViews) {
    const std::string label = view == KEY_WOW64_64KEY ? "64" : "32";
    Write(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Uninstall\\" + name, "DisplayName", "Vh " + label, view);
    Write(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Uninstall\\" + name, "UninstallString", "x.exe", view);
    Write(HKEY_LOCAL_MACHINE, bhoKey + "\\" + bho, "", "", view);
    Write(HKEY_CLASSES_ROOT, "CLSID\\" + bho, "", "Vh helper " + label, view);
    cleanup_.push_back([=] {
      DeleteTree(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Uninstall", name, view);
      DeleteTree(HKEY_LOCAL_MACHINE, bhoKey, bho, view);
      DeleteTree(HKEY_CLASSES_ROOT, "CLSID", bho, view);
    });
  }
  CUninstallManager programs;
  programs.Refresh();
  std::vector<const UninstallEntry*> mine;
  for (const UninstallEntry& entry : programs.GetEntries())
    if (entry.KeyName() == name) mine.push_back(&entry);
  ASSERT_EQ(2u, mine.size());
  EXPECT_EQ("Vh 64", mine[0]->DisplayName());
  EXPECT_EQ("Vh 32", mine[1]->DisplayName());
  ASSERT_EQ(1, mine[1]->Remove());
  EXPECT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Uninstall\\" + name, KEY_WOW64_64KEY));
  EXPECT_FALSE(KeyIn(HKEY_LOCAL_MACHINE, std::string(kCv) + "\\Uninstall\\" + name, KEY_WOW64_32KEY));

  CIEPluginManager plugins;
  plugins.Refresh();
  std::vector<const PluginEntry*> helpers;
  for (const PluginEntry& entry : plugins.GetEntries())
    if (entry.RegistryName() == bho) helpers.push_back(&entry);
  ASSERT_EQ(2u, helpers.size());
  // Each names its class from its own view.
  EXPECT_EQ("Vh helper 64", helpers[0]->DisplayName());
  EXPECT_EQ("Vh helper 32", helpers[1]->DisplayName());
  ASSERT_EQ(1, helpers[0]->Remove());
  EXPECT_FALSE(KeyIn(HKEY_LOCAL_MACHINE, bhoKey + "\\" + bho, KEY_WOW64_64KEY));
  EXPECT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, bhoKey + "\\" + bho, KEY_WOW64_32KEY));
}

// A backup recorded before both views were told apart names its keys by
// plain paths and "Wow6432Node" paths, which meant the native and the 32-bit
// key for the 64-bit program that wrote it: a restore puts each back there.
TEST_F(RegistryViewsTest, BackupRecordedByPathRestoresIntoTheViewItNames) {
  const std::string name = "VhOld" + token_;
  const std::string run = std::string(kCv) + "\\Run";
  for (REGSAM view : kViews) {
    Write(HKEY_LOCAL_MACHINE, run, name, view == KEY_WOW64_64KEY ? "native" : "wow", view);
    cleanup_.push_back([=] { DeleteValue(HKEY_LOCAL_MACHINE, run, name, view); });
  }
  ASSERT_EQ(1, manager_->DeleteValue("old native", HKEY_LOCAL_MACHINE, run, name));
  ASSERT_EQ(1, manager_->DeleteValue("old twin", HKEY_LOCAL_MACHINE, std::string(kCvTwin) + "\\Run", name));
  EXPECT_FALSE(Read(HKEY_LOCAL_MACHINE, run, name, KEY_WOW64_64KEY).present);
  EXPECT_FALSE(Read(HKEY_LOCAL_MACHINE, run, name, KEY_WOW64_32KEY).present);
  const std::string file = temp_.PathOf("old.rbk");
  ASSERT_EQ(1, manager_->GetCurrentSession().Save(file));
  CBackupSession loaded;
  ASSERT_EQ(1, loaded.Load(file));
  ASSERT_EQ(2, loaded.Count());
  ASSERT_EQ(1, loaded.At(1)->Restore());
  EXPECT_EQ(std::string("wow\0", 4), Read(HKEY_LOCAL_MACHINE, run, name, KEY_WOW64_32KEY).data);
  EXPECT_FALSE(Read(HKEY_LOCAL_MACHINE, run, name, KEY_WOW64_64KEY).present);
  ASSERT_EQ(1, loaded.At(0)->Restore());
  EXPECT_EQ(std::string("native\0", 7), Read(HKEY_LOCAL_MACHINE, run, name, KEY_WOW64_64KEY).data);
}

}  // namespace
