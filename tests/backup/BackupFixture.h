#pragma once
// A sandboxed registry, a temporary folder, a cleaning log inside it and a
// backup manager over its "Backup" subfolder.

#include <memory>
#include <string>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "support/BackupSandbox.h"

namespace backuptest {

class BackupFixture : public testsupport::BackupSandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    RegCheck::CCleaningLog::SetPathForTesting(temp_.PathOf("reg_clean.log"));
    Restart();
  }
  void TearDown() override { manager_.reset(); }

  std::string BackupFolder() const { return temp_.PathOf("Backup"); }
  // Ends this "run": the manager saves what it holds.
  void Exit() { manager_.reset(); }
  // Starts a new "run" over the same folder.
  void Restart() {
    manager_.reset();
    manager_.reset(new RegCheck::CBackupManager(BackupFolder()));
  }
};

}  // namespace backuptest
