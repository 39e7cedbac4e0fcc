#pragma once
// Shared by the COM object, application path and file association checker
// tests: a sandbox with a backup manager over a temporary folder, a picture of
// the whole sandboxed registry to prove that a fix removed exactly one entry
// and that its restore wrote it back byte for byte, and a scan runner.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "engine/RegistryAction.h"
#include "engine/ScanCoordinator.h"
#include "support/BackupSandbox.h"
#include "support/RegistryDump.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

namespace checkertest {

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
    const testsupport::RegistryPicture before = testsupport::PictureOfSandbox();
    // What the registry should hold afterwards: all of it but the entry.
    const std::wstring gone(goneText.begin(), goneText.end());
    testsupport::RegistryPicture expected;
    for (const auto& entry : before) {
      const std::wstring& path = entry.first;
      const bool inside = path == gone || path.compare(0, gone.size() + 1, gone + L"\\") == 0 ||
                          path.compare(0, gone.size() + 1, gone + L"|") == 0;
      if (!inside) expected.insert(entry);
    }
    ASSERT_LT(expected.size(), before.size()) << goneText << " is not in the registry";
    ASSERT_EQ(1, action.Fix());
    EXPECT_EQ(std::vector<std::string>(),
              testsupport::Differences(expected, testsupport::PictureOfSandbox()));
    ASSERT_EQ(recorded + 1, session.Count());
    RegCheck::IRegistryOperation* operation = session.At(recorded);
    EXPECT_EQ(backupDescription, operation->GetDescription());
    ASSERT_EQ(1, operation->Restore());
    EXPECT_EQ(std::vector<std::string>(),
              testsupport::Differences(before, testsupport::PictureOfSandbox()));
  }

  RegCheck::CActionList results_;
};

}  // namespace checkertest
