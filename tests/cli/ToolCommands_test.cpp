// The console forms of the three tools, run in-process on a sandboxed
// registry with the backup manager pointed at a temporary folder.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "app/cli/ConsoleCommands.h"
#include "backup/BackupManager.h"
#include "backup/BackupSession.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kToolbar[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";

class ToolCommandsTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
  }
  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunConsoleCommand(args, out_, err_);
  }

  std::ostringstream out_, err_;
};

TEST_F(ToolCommandsTest, StartupListsBothRootsAndRemovesOnlyTheChosenLine) {
  SetString(HKEY_LOCAL_MACHINE, kRun, "Updater", "C:\\u.exe /q");
  SetString(HKEY_CURRENT_USER, kRun, "Updater", "C:\\user.exe");
  SetString(HKEY_CURRENT_USER, kRun, "Varnholt", "C:\\self.exe");
  ASSERT_EQ(kExitOk, Run({"startup"}));
  EXPECT_EQ("1\tUpdater - C:\\u.exe /q\tHKLM\\" + std::string(kRun) + " (VALUE:Updater)\n"
            "2\tUpdater - C:\\user.exe\tHKCU\\" + std::string(kRun) + " (VALUE:Updater)\n",
            out_.str());

  ASSERT_EQ(kExitOk, Run({"startup", "remove", "2"}));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Updater"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRun, "Updater"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRun, "Varnholt"));
  ASSERT_EQ(1, manager_->GetCurrentSession().Count());
  EXPECT_EQ("Startup info entry Updater", manager_->GetCurrentSession().At(0)->GetDescription());
}

TEST_F(ToolCommandsTest, SoftwareAndPluginsListWithTheirLocations) {
  SetString(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\App1", "DisplayName", "First App");
  SetString(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\App1", "UninstallString", "C:\\x.exe");
  SetString(HKEY_LOCAL_MACHINE, kToolbar, "{11111111-2222-3333-4444-555555555555}", "");
  ASSERT_EQ(kExitOk, Run({"software"}));
  EXPECT_EQ("1\tFirst App\tHKLM\\" + std::string(kUninstall) + "\\App1\n", out_.str());
  ASSERT_EQ(kExitOk, Run({"plugins"}));
  EXPECT_NE(std::string::npos,
            out_.str().find("HKLM\\" + std::string(kToolbar) +
                            " (VALUE:{11111111-2222-3333-4444-555555555555})"))
      << out_.str();

  ASSERT_EQ(kExitOk, Run({"software", "remove", "1"}));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\App1"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall));
  EXPECT_EQ("Uninstall info entry App1", manager_->GetCurrentSession().At(0)->GetDescription());
}

TEST_F(ToolCommandsTest, BadLineNumbersChangeNothing) {
  SetString(HKEY_LOCAL_MACHINE, kRun, "Only", "C:\\o.exe");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"startup", "remove", "0"}, {"startup", "remove", "2"}, {"startup", "remove", "x"},
           {"startup", "remove"}, {"startup", "delete", "1"}, {"plugins", "remove", "-1"}}) {
    EXPECT_EQ(kExitUsage, Run(args)) << args.back();
    EXPECT_FALSE(err_.str().empty());
  }
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Only"));
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
}

}  // namespace
