// Help files: each value of the "Help" and "HTML Help" keys names a file
// whose folder is the value's data.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "checkers/HelpFilesChecker.h"
#include "engine/ScanCategories.h"
#include "support/EnvOverride.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kHelp[] = "SOFTWARE\\Microsoft\\Windows\\Help";
const char kHtmlHelp[] = "SOFTWARE\\Microsoft\\Windows\\HTML Help";

class HelpFilesCheckerTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
    folder_ = temp_.MakeDir("help");
    temp_.MakeFile("help\\present.hlp");
    temp_.MakeFile("help\\present.chm");
    temp_.MakeFile("help\\second.hlp");
  }

  // "key selector:value name" of every action, in scan order.
  std::vector<std::string> Reported() {
    CActionList results;
    CHelpFilesChecker().Scan(context_, results);
    std::vector<std::string> found;
    for (CRegistryAction* action : results) {
      auto* help = static_cast<CHelpFilesAction*>(action);
      found.push_back(std::to_string(help->GetKey()) + ":" + help->GetValueName());
    }
    return found;
  }

  std::string folder_;
};

TEST_F(HelpFilesCheckerTest, FolderFromDataWithOrWithoutTrailingBackslashes) {
  SetString(HKEY_LOCAL_MACHINE, kHelp, "present.hlp", folder_);
  SetString(HKEY_LOCAL_MACHINE, kHelp, "SECOND.HLP", folder_ + "\\");
  SetString(HKEY_LOCAL_MACHINE, kHtmlHelp, "present.chm", folder_ + "\\\\\\");
  SetString(HKEY_LOCAL_MACHINE, kHtmlHelp, "absent.chm", folder_ + "\\");
  EXPECT_EQ((std::vector<std::string>{"1:absent.chm"}), Reported());
}

TEST_F(HelpFilesCheckerTest, DataMayHoldVariablesOrLackItsTerminator) {
  EnvOverride dir("VH_HELPDIR", folder_);
  SetString(HKEY_LOCAL_MACHINE, kHelp, "present.hlp", "%VH_HELPDIR%", REG_EXPAND_SZ);
  // Read whatever the type; the bytes need not end in a zero.
  SetRaw(HKEY_LOCAL_MACHINE, kHtmlHelp, "present.chm", REG_BINARY, folder_.data(),
         static_cast<DWORD>(folder_.size()));
  SetRaw(HKEY_LOCAL_MACHINE, kHtmlHelp, "elsewhere.chm", REG_BINARY, folder_.data(),
         static_cast<DWORD>(folder_.size()));
  EXPECT_EQ((std::vector<std::string>{"1:elsewhere.chm"}), Reported());
}

TEST_F(HelpFilesCheckerTest, UnreadableDataAndFoldersAreErrors) {
  temp_.MakeDir("help\\folder.hlp");
  SetString(HKEY_LOCAL_MACHINE, kHelp, "folder.hlp", folder_);
  // Data that does not fit the read buffer cannot name the folder.
  SetString(HKEY_LOCAL_MACHINE, kHelp, "present.hlp", folder_ + std::string(300, '\\'));
  EXPECT_EQ((std::vector<std::string>{"0:folder.hlp", "0:present.hlp"}), Reported());
}

TEST_F(HelpFilesCheckerTest, SameMissingFileInBothKeysGivesTwoActions) {
  SetString(HKEY_LOCAL_MACHINE, kHtmlHelp, "gone.chm", folder_);
  SetString(HKEY_LOCAL_MACHINE, kHelp, "gone.chm", folder_);
  SetString(HKEY_LOCAL_MACHINE, std::string(kHelp) + "\\Sub", "deeper.hlp", folder_);

  CActionList results;
  CHelpFilesChecker().Scan(context_, results);
  ASSERT_EQ(2, results.Count());
  std::string text;
  for (CRegistryAction* action : results) {
    EXPECT_EQ(kCatHelpFiles, action->GetCategory());
    EXPECT_EQ(1, action->GetDescription(text));
    EXPECT_EQ("File gone.chm is absent", text);
  }
  // The "Help" key is walked first.
  EXPECT_EQ(1, results.At(0)->GetLocation(text));
  EXPECT_EQ("HKLM\\SOFTWARE\\Microsoft\\Windows\\Help (VALUE gone.chm)", text);
  EXPECT_EQ(1, results.At(1)->GetLocation(text));
  EXPECT_EQ("HKLM\\SOFTWARE\\Microsoft\\Windows\\HTML Help (VALUE gone.chm)", text);
}

TEST_F(HelpFilesCheckerTest, EachFixDeletesFromItsOwnKeyAndRestores) {
  SetString(HKEY_LOCAL_MACHINE, kHelp, "gone.chm", folder_);
  SetString(HKEY_LOCAL_MACHINE, kHelp, "present.hlp", folder_);
  SetString(HKEY_LOCAL_MACHINE, kHtmlHelp, "gone.chm", folder_ + "\\");

  CActionList results;
  CHelpFilesChecker().Scan(context_, results);
  ASSERT_EQ(2, results.Count());
  CBackupSession& session = manager_->GetCurrentSession();

  EXPECT_EQ(1, results.At(1)->Fix());
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kHtmlHelp, "gone.chm"));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kHelp, "gone.chm"));
  EXPECT_EQ(1, results.At(0)->Fix());
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kHelp, "gone.chm"));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kHelp, "present.hlp"));

  ASSERT_EQ(2, session.Count());
  EXPECT_EQ("Help file entry gone.chm", session.At(0)->GetDescription());
  EXPECT_EQ("Help file entry gone.chm", session.At(1)->GetDescription());
  EXPECT_EQ(1, session.At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kHtmlHelp, "gone.chm", type, data));
  EXPECT_EQ(folder_ + "\\" + std::string(1, '\0'), data);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kHelp, "gone.chm"));
}

}  // namespace
