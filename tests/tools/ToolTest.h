#pragma once
// Fixture for the tool models: the registry sandbox, no pending scan cancel,
// and a backup manager and cleaning log over a temporary folder that the
// tools' removals record into instead of the program's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/RegistryOperation.h"
#include "support/BackupSandbox.h"

namespace toolstest {

class ToolTest : public testsupport::BackupSandboxTest {
 protected:
  RegCheck::CBackupSession& Session() { return manager_->GetCurrentSession(); }

  std::vector<std::string> Descriptions() {
    std::vector<std::string> texts;
    for (RegCheck::IRegistryOperation* operation : Session()) texts.push_back(operation->GetDescription());
    return texts;
  }

  // A batch file of this test's own that only writes `marker` next to
  // itself; its quoted path is a command line that is harmless to start.
  std::string MarkerCommand(const std::string& marker) {
    std::string script = temp_.MakeFile("run.cmd", "@echo ran> \"%~dp0" + marker + "\"\r\n");
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
};

}  // namespace toolstest
