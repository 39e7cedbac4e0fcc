#pragma once
// Shared by the COM object, application path and file association checker
// tests: a sandbox with a backup manager over a temporary folder, a dump of
// the whole sandboxed registry to prove that a fix removed exactly one entry
// and that its restore wrote it back byte for byte, and a scan runner.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "engine/RegistryAction.h"
#include "engine/ScanCoordinator.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

namespace checkertest {

// Every key ("K") and value ("V", type, data) below the three sandboxed
// roots, keyed by a path text that keeps keys and values apart.
using RegistryDump = std::map<std::string, std::string>;

inline void DumpKey(HKEY parent, const std::string& path, const std::string& text,
                    RegistryDump& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return;
  out[text] = "K";
  char name[1024];
  std::vector<BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof(name);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
      break;
    out[text + "|" + name] =
        "V" + std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data.data()), size);
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    subkeys.push_back(name);
  }
  RegCloseKey(key);
  for (const std::string& sub : subkeys)
    DumpKey(parent, path.empty() ? sub : path + "\\" + sub, text + "\\" + sub, out);
}

inline RegistryDump DumpSandbox() {
  RegistryDump dump;
  DumpKey(HKEY_LOCAL_MACHINE, "", "HKLM", dump);
  DumpKey(HKEY_CURRENT_USER, "", "HKCU", dump);
  DumpKey(HKEY_CLASSES_ROOT, "", "HKCR", dump);
  return dump;
}

// What `after` lacks of `before`; fails the test when `after` gained or
// changed anything.
inline std::vector<std::string> Removed(const RegistryDump& before, const RegistryDump& after) {
  std::vector<std::string> gone;
  for (const auto& entry : before) {
    auto found = after.find(entry.first);
    if (found == after.end()) {
      gone.push_back(entry.first);
    } else {
      EXPECT_EQ(entry.second, found->second) << entry.first << " changed";
    }
  }
  for (const auto& entry : after)
    EXPECT_TRUE(before.count(entry.first)) << entry.first << " appeared";
  return gone;
}

// Keys of a dump that lie at or below `keyText` (the key and its subtree).
inline std::vector<std::string> Subtree(const RegistryDump& dump, const std::string& keyText) {
  std::vector<std::string> inside;
  for (const auto& entry : dump) {
    const std::string& path = entry.first;
    if (path == keyText || path.compare(0, keyText.size() + 1, keyText + "\\") == 0 ||
        path.compare(0, keyText.size() + 1, keyText + "|") == 0)
      inside.push_back(path);
  }
  return inside;
}

// Scans the real registry of the running prefix (no sandbox) for one
// category through the coordinator, as the program does, and prints every
// finding; nothing is fixed. Returns the number of keys visited. For the
// disabled-by-default survey tests.
inline int PrintRealScan(int category) {
  RegCheck::CActionList results;
  RegCheck::CScanCoordinator& coordinator = RegCheck::GetScanCoordinator();
  coordinator.SetCategories(category);
  const DWORD start = GetTickCount();
  coordinator.Start(&results);
  coordinator.WaitDone();
  const DWORD elapsed = GetTickCount() - start;
  for (RegCheck::CRegistryAction* action : results) {
    std::string description;
    std::string location;
    action->GetDescription(description);
    action->GetLocation(location);
    printf("FINDING 0x%x | %s | %s\n", action->GetCategory(), description.c_str(),
           location.c_str());
  }
  printf("SUMMARY 0x%x: %d findings, %d keys, %d values, %lu ms\n", category, results.Count(),
         coordinator.GetKeysVisited(), coordinator.GetValuesVisited(),
         static_cast<unsigned long>(elapsed));
  return coordinator.GetKeysVisited();
}

class CheckerTest : public testsupport::BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
  }

  // Runs `checker` and returns every finding as "description @ location".
  template <class Checker>
  std::vector<std::string> Findings(Checker& checker) {
    results_.Clear();
    checker.Scan(context_, results_);
    std::vector<std::string> lines;
    for (RegCheck::CRegistryAction* action : results_) {
      std::string description;
      std::string location;
      EXPECT_EQ(1, action->GetDescription(description));
      EXPECT_EQ(1, action->GetLocation(location));
      lines.push_back(description + " @ " + location);
    }
    return lines;
  }

  // Fixes `action` and checks that exactly `goneText` went (a key text with
  // its whole subtree, or "key|value"), that one operation with
  // `backupDescription` was recorded and that its restore brings the
  // registry back to what it was.
  void ExpectFixRemovesAndRestores(RegCheck::CRegistryAction& action, const std::string& goneText,
                                   const std::string& backupDescription) {
    RegCheck::CBackupSession& session = manager_->GetCurrentSession();
    const int recorded = session.Count();
    const RegistryDump before = DumpSandbox();
    const std::vector<std::string> expectedGone = Subtree(before, goneText);
    ASSERT_FALSE(expectedGone.empty()) << goneText << " is not in the registry";
    ASSERT_EQ(1, action.Fix());
    EXPECT_EQ(expectedGone, Removed(before, DumpSandbox()));
    ASSERT_EQ(recorded + 1, session.Count());
    RegCheck::IRegistryOperation* operation = session.At(recorded);
    EXPECT_EQ(backupDescription, operation->GetDescription());
    ASSERT_EQ(1, operation->Restore());
    EXPECT_EQ(before, DumpSandbox());
  }

  RegCheck::CActionList results_;
};

}  // namespace checkertest
