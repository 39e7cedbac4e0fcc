#pragma once
// Fixture for the tool models: the registry sandbox, no pending scan cancel,
// and a backup manager and cleaning log over a temporary folder that the
// tools' removals record into instead of the program's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "engine/ScanCoordinator.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

namespace toolstest {

class ToolTest : public testsupport::SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    RegCheck::GetScanCoordinator().ClearCancel();
    RegCheck::CCleaningLog::SetPathForTesting(files_.PathOf("clean.log"));
    backup_.reset(new RegCheck::CBackupManager(files_.PathOf("Backup")));
    RegCheck::SetBackupManagerForTesting(backup_.get());
  }
  void TearDown() override {
    RegCheck::GetScanCoordinator().ClearCancel();
    RegCheck::SetBackupManagerForTesting(nullptr);
    backup_.reset();
  }

  RegCheck::CBackupSession& Session() { return backup_->GetCurrentSession(); }

  std::vector<std::string> Descriptions() {
    std::vector<std::string> texts;
    for (RegCheck::IRegistryOperation* operation : Session()) texts.push_back(operation->GetDescription());
    return texts;
  }

  // A batch file of this test's own that only writes `marker` next to
  // itself; its quoted path is a command line that is harmless to start.
  std::string MarkerCommand(const std::string& marker) {
    std::string script = files_.MakeFile("run.cmd", "@echo ran> \"%~dp0" + marker + "\"\r\n");
    return "\"" + script + "\"";
  }

  // Waits up to ten seconds for a file that a started program writes.
  bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
      if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
      Sleep(50);
    }
    return false;
  }

  testsupport::TempFolder files_;
  std::unique_ptr<RegCheck::CBackupManager> backup_;
};

}  // namespace toolstest
