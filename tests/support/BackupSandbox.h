#pragma once
// The registry sandbox plus a backup manager and cleaning log of the test's
// own, over a temporary folder, so that fixes and removals record into them
// and never into the program's Backup folder or the log at the root of C;
// and a fresh scan context for the checkers the test runs.

#include <memory>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "engine/ScanContext.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

namespace testsupport {

class BackupSandboxTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    RegCheck::CCleaningLog::SetPathForTesting(temp_.PathOf("reg_clean.log"));
    manager_.reset(new RegCheck::CBackupManager(temp_.PathOf("Backup")));
    RegCheck::SetBackupManagerForTesting(manager_.get());
  }
  void TearDown() override {
    RegCheck::SetBackupManagerForTesting(nullptr);
    manager_.reset();
  }

  TempFolder temp_;
  std::unique_ptr<RegCheck::CBackupManager> manager_;
  RegCheck::CScanContext context_;
};

}  // namespace testsupport
