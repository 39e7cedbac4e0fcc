// Start keys of the machine and the user: which values are examined, the
// rundll32.exe rule for DLL entries, command lines, and the fix.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "checkers/StartupChecker.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"
#include "support/EnvOverride.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class StartupCheckerTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
    temp_.MakeFile("sys\\rundll32.exe");
    temp_.MakeFile("sys\\onpath.dll");
    dll_ = temp_.MakeFile("Lib Dir\\Present.dll");
    program_ = temp_.MakeFile("Program Files\\Vendor\\tray.exe");
    path_.reset(new EnvOverride("PATH", temp_.PathOf("sys") + "\\"));
  }

  // "ROOT:value name" of every action, in scan order.
  std::vector<std::string> Reported() {
    CActionList results;
    CStartupChecker().Scan(context_, results);
    std::vector<std::string> found;
    for (CRegistryAction* action : results) {
      auto* startup = static_cast<CStartupAction*>(action);
      found.push_back(std::string(startup->GetRoot() == CStartupChecker::CHandler::kUser ? "HKCU:"
                                                                                         : "HKLM:") +
                      startup->GetValueName());
    }
    return found;
  }

  bool Check(const std::string& command) {
    SetString(HKEY_LOCAL_MACHINE, kRun, "probe", command);
    RegKey run;
    EXPECT_EQ(ERROR_SUCCESS, run.Open(HKEY_LOCAL_MACHINE, kRun, kReadAccess));
    BYTE data[1024];
    DWORD size = sizeof(data);
    EXPECT_EQ(ERROR_SUCCESS, run.QueryValue("probe", nullptr, data, &size));
    return CStartupChecker::CheckStartupValue(context_, data, size);
  }

  std::unique_ptr<EnvOverride> path_;
  std::string dll_;
  std::string program_;
};

TEST_F(StartupCheckerTest, OnlyPlainAndMultiStringsAreExamined) {
  const std::string gone = temp_.PathOf("gone.exe");
  SetString(HKEY_LOCAL_MACHINE, kRun, "Expand", gone, REG_EXPAND_SZ);
  SetDword(HKEY_LOCAL_MACHINE, kRun, "Dword", 0);
  SetRaw(HKEY_LOCAL_MACHINE, kRun, "Binary", REG_BINARY, gone.c_str(),
         static_cast<DWORD>(gone.size() + 1));
  SetString(HKEY_LOCAL_MACHINE, kRun, "Plain", gone);
  // A multi-string is judged by its first string.
  const std::string goneFirst = gone + '\0' + program_ + '\0' + '\0';
  SetRaw(HKEY_LOCAL_MACHINE, kRun, "MultiGone", REG_MULTI_SZ, goneFirst.data(),
         static_cast<DWORD>(goneFirst.size()));
  const std::string presentFirst = program_ + '\0' + gone + '\0' + '\0';
  SetRaw(HKEY_LOCAL_MACHINE, kRun, "MultiPresent", REG_MULTI_SZ, presentFirst.data(),
         static_cast<DWORD>(presentFirst.size()));
  EXPECT_EQ((std::vector<std::string>{"HKLM:MultiGone", "HKLM:Plain"}), Reported());
}

TEST_F(StartupCheckerTest, Rundll32EntriesAreJudgedByTheirDll) {
  EXPECT_TRUE(Check("rundll32.exe " + dll_ + ",Start"));
  EXPECT_TRUE(Check("RUNDLL32.EXE " + dll_ + ",Start"));
  EXPECT_TRUE(Check("RunDll32.exe \"" + dll_ + "\",Start /q"));
  EXPECT_TRUE(Check("rundll32.exe onpath.dll,Start"));
  EXPECT_FALSE(Check("rundll32.exe " + temp_.PathOf("Lib Dir\\Gone.dll") + ",Start"));
  EXPECT_FALSE(Check("RUNDLL32.EXE " + temp_.PathOf("LIB DIR\\GONE.DLL") + ",Start"));
  // Without an entry point after the DLL the entry is broken.
  EXPECT_FALSE(Check("rundll32.exe " + dll_));
  EXPECT_FALSE(Check("rundll32.exe ,Start"));
  EXPECT_FALSE(Check("rundll32.exe,Start"));
  // With its folder in front, rundll32.exe is an ordinary program: only its
  // own existence counts.
  EXPECT_TRUE(Check(temp_.PathOf("sys\\rundll32.exe") + " " + temp_.PathOf("gone.dll") + ",Start"));
  EXPECT_FALSE(Check(temp_.PathOf("gone\\rundll32.exe") + " " + dll_ + ",Start"));
}

TEST_F(StartupCheckerTest, CommandLinesAreTestedAsCommands) {
  EXPECT_TRUE(Check("\"" + program_ + "\" /background"));
  EXPECT_TRUE(Check(program_ + " -tray"));
  EXPECT_TRUE(Check(temp_.PathOf("Program Files\\Vendor\\tray") + " -tray"));
  EXPECT_TRUE(Check("rundll32 " + temp_.PathOf("gone.dll") + ",Start"));
  EXPECT_FALSE(Check("\"" + temp_.PathOf("Program Files\\Vendor\\gone.exe") + "\" /background"));
  EXPECT_FALSE(Check("\"" + program_ + " /background"));
  EXPECT_FALSE(Check(""));
  // A command that does not fit the read buffer counts as broken.
  EXPECT_FALSE(Check("\"" + program_ + "\" " + std::string(300, 'a')));
}

TEST_F(StartupCheckerTest, KeysInOrderMachineBeforeUser) {
  const std::string gone = temp_.PathOf("gone.exe");
  SetString(HKEY_CURRENT_USER, kRun, "Same", gone);
  SetString(HKEY_LOCAL_MACHINE, kRun, "Same", gone);
  SetString(HKEY_LOCAL_MACHINE, kRunOnce, "Once", gone);
  SetString(HKEY_LOCAL_MACHINE, std::string(kRunOnce) + "\\Setup", "Setup", gone);
  SetString(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", "Svc",
            gone);
  SetString(HKEY_LOCAL_MACHINE, std::string(kRun) + "\\Nested", "Nested", gone);
  SetString(HKEY_LOCAL_MACHINE, kRun, "Alive", program_);
  EXPECT_EQ((std::vector<std::string>{"HKCU:Svc", "HKLM:Setup", "HKLM:Once", "HKLM:Same",
                                      "HKCU:Same"}),
            Reported());
}

TEST_F(StartupCheckerTest, SameValueUnderBothRootsGivesTwoLocationsAndTwoFixes) {
  const std::string gone = temp_.PathOf("gone.exe");
  SetString(HKEY_LOCAL_MACHINE, kRun, "Updater", gone + " /check");
  SetString(HKEY_CURRENT_USER, kRun, "Updater", gone + " /user");
  SetString(HKEY_CURRENT_USER, kRun, "Alive", program_);

  CActionList results;
  CStartupChecker().Scan(context_, results);
  ASSERT_EQ(2, results.Count());
  std::string text = "sentinel";
  for (CRegistryAction* action : results) {
    EXPECT_EQ(kCatStartup, action->GetCategory());
    EXPECT_EQ(1, action->GetDescription(text));
    EXPECT_EQ("Application Updater does not exist", text);
  }
  EXPECT_EQ(1, results.At(0)->GetLocation(text));
  EXPECT_EQ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Updater)", text);
  EXPECT_EQ(1, results.At(1)->GetLocation(text));
  EXPECT_EQ("HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run (VALUE:Updater)", text);

  EXPECT_EQ(1, results.At(1)->Fix());
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRun, "Updater"));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Updater"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kRun, "Alive"));
  EXPECT_EQ(1, results.At(0)->Fix());
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Updater"));

  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(2, session.Count());
  EXPECT_EQ("Startup entry for Updater", session.At(0)->GetDescription());
  EXPECT_EQ("Startup entry for Updater", session.At(1)->GetDescription());
  EXPECT_EQ(1, session.At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kRun, "Updater", type, data));
  EXPECT_EQ(gone + " /user" + std::string(1, '\0'), data);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRun, "Updater"));
}

}  // namespace
