// Uninstall entries and uninstall cache records over sandboxed keys and real
// files: the order of the fallback reads, PATH lookup of bare installer
// names, the fixed-size cache record, and fixes through the backup manager.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "checkers/UninstallChecker.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/EnvOverride.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kArpCache = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";
const HKEY kLM = HKEY_LOCAL_MACHINE;

std::string Entry(const std::string& name) { return kUninstall + "\\" + name; }
std::string CacheEntry(const std::string& name) { return kArpCache + "\\" + name; }

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                              static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(n));
  return wide;
}

// A cache record of `size` bytes with `path` at byte 28; the bytes before it
// are 0xbd so that reading them would show.
std::string CacheRecord(const std::wstring& path, size_t size = 552) {
  std::string record(size, '\0');
  std::fill(record.begin(), record.begin() + 28, '\xbd');
  memcpy(&record[28], path.data(), std::min(path.size() * 2, size - 28));
  return record;
}

void SetCacheRecord(const std::string& entry, const std::string& record, DWORD type = REG_BINARY) {
  SetRaw(kLM, CacheEntry(entry), "SlowInfoCache", type, record.data(), static_cast<DWORD>(record.size()));
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class UninstallCheckerTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
    CreateKey(kLM, kUninstall);
    CreateKey(kLM, kArpCache);
    uninstaller_ = temp_.MakeFile("App\\uninst.exe");
  }

  // Key names of the findings in scan order.
  std::vector<std::string> Scan() {
    results_.Clear();
    CUninstallChecker().Scan(context_, results_);
    std::vector<std::string> names;
    for (CRegistryAction* action : results_) {
      EXPECT_EQ(kCatUninstall, action->GetCategory());
      names.push_back(static_cast<CUninstallAction*>(action)->GetKeyName());
    }
    return names;
  }

  std::string Description(int index) {
    std::string text;
    EXPECT_EQ(1, results_.At(index)->GetDescription(text));
    return text;
  }
  std::string Location(int index) {
    std::string text;
    EXPECT_EQ(1, results_.At(index)->GetLocation(text));
    return text;
  }

  std::string uninstaller_;
  CActionList results_;
};

TEST_F(UninstallCheckerTest, UninstallEntries) {
  // A readable command decides: it must name a program that exists, found
  // as written, after expansion, or through PATH with ".exe" added.
  SetString(kLM, Entry("Quoted"), "DisplayName", "A");  // a short read before must not shrink the next
  SetString(kLM, Entry("Quoted"), "UninstallString", "\"" + uninstaller_ + "\" /S");
  SetString(kLM, Entry("Expand"), "UninstallString", "%VH_APP%\\uninst.exe /remove", REG_EXPAND_SZ);
  SetString(kLM, Entry("Bare"), "UninstallString", "vhsetup /uninstall /quiet");
  SetString(kLM, Entry("BareMissing"), "UninstallString", "vhnosuch /uninstall");
  SetString(kLM, Entry("Gone"), "UninstallString", temp_.PathOf("Gone\\u.exe") + " /S");
  SetString(kLM, Entry("Gone"), "UninstallPath", "C:\\anything");
  SetDword(kLM, Entry("Numeric"), "UninstallString", 1);
  SetString(kLM, Entry("Numeric"), "InstallSource", "D:\\setup");
  // 511 characters and the terminator fill the 512-byte buffer: the command
  // reads, so "UninstallPath" is not consulted. One more and it does not read.
  std::string fits = temp_.PathOf("Gone\\u.exe") + " ";
  fits += std::string(511 - fits.size(), 'x');
  SetString(kLM, Entry("Fits"), "UninstallString", fits);
  SetString(kLM, Entry("Fits"), "UninstallPath", "x");
  SetString(kLM, Entry("LongWithPath"), "UninstallString", fits + "x");
  SetString(kLM, Entry("LongWithPath"), "UninstallPath", "x");
  SetString(kLM, Entry("LongAlone"), "UninstallString", fits + "x");
  // Without a command: "UninstallPath" of any content, or a non-empty "InstallSource".
  SetString(kLM, Entry("PathGarbage"), "UninstallPath", "?? not a path ??");
  SetString(kLM, Entry("PathEmpty"), "UninstallPath", "");
  SetDword(kLM, Entry("PathNumeric"), "UninstallPath", 7);
  SetString(kLM, Entry("Source"), "InstallSource", "Z:\\no\\such\\media");
  SetString(kLM, Entry("SourceEmpty"), "InstallSource", "");
  SetString(kLM, Entry("OnlyName"), "DisplayName", "Only A Name");
  CreateKey(kLM, Entry("NoValues"));
  SetString(kLM, Entry("NoValues") + "\\Nested", "UninstallString", "C:\\gone\\n.exe");
  temp_.MakeFile("bin\\vhsetup.exe");
  EnvOverride app("VH_APP", temp_.PathOf("App"));
  EnvOverride path("PATH", temp_.PathOf("empty") + ";" + temp_.PathOf("bin"));

  EXPECT_EQ((std::vector<std::string>{"BareMissing", "Fits", "Gone", "LongAlone", "NoValues",
                                      "Numeric", "OnlyName", "PathNumeric", "SourceEmpty"}),
            Sorted(Scan()));
}

TEST_F(UninstallCheckerTest, DisplayNameDescribesTheEntry) {
  SetString(kLM, Entry("{1111-NAMED}"), "DisplayName", "Named Tool 2.0");
  SetString(kLM, Entry("{1111-NAMED}"), "UninstallString", "C:\\gone\\u.exe");
  SetString(kLM, Entry("Unnamed"), "UninstallString", "C:\\gone\\u.exe");

  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(kLM, kUninstall.c_str(), 0, KEY_READ, &key));
  std::string display = "sentinel";
  EXPECT_FALSE(CUninstallChecker::CheckUninstallEntry(context_, key, "Unnamed", display));
  EXPECT_EQ("sentinel", display);
  RegCloseKey(key);

  // Subkeys come in name order, and "{" sorts after the letters.
  ASSERT_EQ((std::vector<std::string>{"Unnamed", "{1111-NAMED}"}), Scan());
  EXPECT_EQ("Application Unnamed already uninstalled", Description(0));
  EXPECT_EQ("Application Named Tool 2.0 already uninstalled", Description(1));
  EXPECT_EQ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{1111-NAMED}", Location(1));
}

TEST_F(UninstallCheckerTest, CacheRecords) {
  SetCacheRecord("Present", CacheRecord(Wide(temp_.MakeFile("Cached\\prog.exe"))));
  SetCacheRecord("Missing", CacheRecord(Wide(temp_.PathOf("Cached\\gone.exe"))));
  SetCacheRecord("Folder", CacheRecord(Wide(temp_.MakeDir("Cached\\folder"))));
  SetCacheRecord("EmptyPath", CacheRecord(L""));
  SetCacheRecord("NoneTyped", CacheRecord(Wide(temp_.PathOf("Cached\\gone.exe"))), REG_NONE);
  // Taken literally: no expansion, no PATH search.
  SetCacheRecord("Variable", CacheRecord(L"%VH_CACHED%\\prog.exe"));
  EnvOverride cached("VH_CACHED", temp_.PathOf("Cached"));
  // Records that cannot be judged are kept.
  std::wstring gone = Wide(temp_.PathOf("Cached\\gone.exe"));
  SetCacheRecord("Short", CacheRecord(gone, 551));
  SetCacheRecord("Long", CacheRecord(gone, 553));
  SetCacheRecord("Unterminated", CacheRecord(std::wstring(262, L'a')));
  SetString(kLM, CacheEntry("OtherValue"), "Other", "x");
  CreateKey(kLM, CacheEntry("NoValues"));
  // An existing file whose name the ANSI code page cannot carry.
  std::wstring greek = Wide(temp_.Path()) + L"\\\x03a9\x03bc\x03b5\x03b3\x03b1.exe";
  HANDLE file = CreateFileW(greek.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  SetCacheRecord("Greek", CacheRecord(greek));

  EXPECT_EQ((std::vector<std::string>{"EmptyPath", "Folder", "Missing", "NoneTyped", "Variable"}), Scan());
  EXPECT_EQ(CUninstallAction::kArpCacheEntry, static_cast<CUninstallAction*>(results_.At(2))->GetKind());
  EXPECT_EQ("ARPCache entry for Missing is obsolete", Description(2));
  // The location names the Uninstall entry the cache entry belongs to.
  EXPECT_EQ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Missing", Location(2));
  DeleteFileW(greek.c_str());
}

TEST_F(UninstallCheckerTest, CoordinatorRunsTheChecker) {
  SetString(kLM, Entry("Gone"), "UninstallString", "C:\\gone\\u.exe");
  CScanCoordinator& coordinator = GetScanCoordinator();
  coordinator.SetCategories(kCatUninstall);
  coordinator.Start(&results_);
  coordinator.WaitDone();
  ASSERT_EQ(1, results_.Count());
  EXPECT_EQ(kCatUninstall, results_.At(0)->GetCategory());
}

// Fixes record into the test's own backup manager.
using UninstallFixTest = UninstallCheckerTest;

TEST_F(UninstallFixTest, FixRemovesExactlyTheEntryAndRestores) {
  SetString(kLM, Entry("Gone"), "DisplayName", "Gone App");
  SetString(kLM, Entry("Gone"), "UninstallString", "C:\\gone\\u.exe /S");
  SetDword(kLM, Entry("Gone") + "\\Sub", "Size", 0xdeadbeef);
  SetString(kLM, Entry("Gone2"), "UninstallPath", "x");
  const std::string record = CacheRecord(L"C:\\gone\\cached.exe");
  SetCacheRecord("GoneCache", record);
  SetCacheRecord("GoneCache2", CacheRecord(Wide(uninstaller_)));

  ASSERT_EQ((std::vector<std::string>{"Gone", "GoneCache"}), Scan());
  EXPECT_EQ(1, results_.At(0)->Fix());
  EXPECT_EQ(1, results_.At(1)->Fix());
  EXPECT_FALSE(KeyExists(kLM, Entry("Gone")));
  EXPECT_FALSE(KeyExists(kLM, CacheEntry("GoneCache")));
  EXPECT_TRUE(KeyExists(kLM, Entry("Gone2")));
  EXPECT_TRUE(KeyExists(kLM, CacheEntry("GoneCache2")));

  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(2, session.Count());
  EXPECT_EQ("Uninstall entry for Gone", session.At(0)->GetDescription());
  EXPECT_EQ("ARPCache entry for GoneCache", session.At(1)->GetDescription());
  // Fixing again finds nothing to delete and records nothing.
  EXPECT_EQ(0, results_.At(0)->Fix());
  EXPECT_EQ(2, session.Count());

  EXPECT_EQ(1, session.At(0)->Restore());
  EXPECT_EQ(1, session.At(1)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(kLM, Entry("Gone") + "\\Sub", "Size", type, data));
  EXPECT_EQ(std::string("\xef\xbe\xad\xde", 4), data);
  ASSERT_TRUE(ReadRaw(kLM, Entry("Gone"), "DisplayName", type, data));
  EXPECT_EQ(std::string("Gone App", 9), data);
  ASSERT_TRUE(ReadRaw(kLM, CacheEntry("GoneCache"), "SlowInfoCache", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(record, data);
}

// The real registry of the machine, no sandbox: prints every finding and
// checks that each names an entry that is really there. Run by hand with
// --gtest_also_run_disabled_tests.
TEST(UninstallCheckerRealRegistry, DISABLED_PrintFindings) {
  CScanContext context;
  CActionList results;
  CUninstallChecker().Scan(context, results);
  for (CRegistryAction* action : results) {
    auto* entry = static_cast<CUninstallAction*>(action);
    std::string description, location;
    action->GetDescription(description);
    action->GetLocation(location);
    printf("kind %d | %s | %s\n", entry->GetKind(), description.c_str(), location.c_str());
    const bool cache = entry->GetKind() == CUninstallAction::kArpCacheEntry;
    EXPECT_TRUE(KeyExists(kLM, (cache ? kArpCache : kUninstall) + "\\" + entry->GetKeyName()));
  }
  printf("%d uninstall findings\n", results.Count());
}

}  // namespace
