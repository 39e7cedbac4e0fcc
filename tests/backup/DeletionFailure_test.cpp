// A deletion that fails says in the cleaning log at which step it stopped
// and why: guard, capture, journal or delete. The lines every deletion
// writes stay as they are.

#include <windows.h>

#include <gtest/gtest.h>

#include "BackupFixture.h"
#include "BackupTestFiles.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

class DeletionFailureTest : public BackupFixture {
 protected:
  std::string Log() {
    std::string text;
    ReadFileBytes(temp_.PathOf("reg_clean.log"), text);
    return text;
  }
  // Tries to delete Software\Fix\<name> (holding one value) while its access
  // list is `sddl`, then lets everyone at it again so it can be cleaned up;
  // the deletion must fail, and the stage it failed at is returned.
  DeletionFailure FailToDeleteKeyWithAccess(const std::string& name, const char* sddl) {
    const std::string path = "Software\\Fix\\" + name;
    SetString(HKEY_CURRENT_USER, path, "v", "1");
    EXPECT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, path, sddl));
    EXPECT_EQ(0, manager_->DeleteKey("key", HKEY_CURRENT_USER, "Software\\Fix", name));
    const DeletionFailure kind = manager_->GetLastFailureKind();
    EXPECT_TRUE(SetKeyAccess(HKEY_CURRENT_USER, path, "D:(A;;KA;;;WD)"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, path, "v"));
    return kind;
  }
};

TEST_F(DeletionFailureTest, GuardRefusalAddsTheStageAfterTheRefusedLine) {
  SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "App", "x");
  EXPECT_EQ(0, manager_->DeleteKey("run", HKEY_CURRENT_USER,
                                   "Software\\Microsoft\\Windows\\CurrentVersion", "Run"));
  EXPECT_EQ(DeletionFailure::kGuard, manager_->GetLastFailureKind());
  // The refused line is kept as it was; the stage line follows it with
  // the same reason.
  const std::string log = Log();
  const std::string refused =
      "CBackupManager::DeleteKey refused (Software\\Microsoft\\Windows\\CurrentVersion, Run): ";
  const size_t at = log.find(refused);
  ASSERT_NE(std::string::npos, at) << log;
  const size_t end = log.find('\n', at);
  const std::string reason = log.substr(at + refused.size(), end - at - refused.size());
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ("CBackupManager::DeleteKey failed (Software\\Microsoft\\Windows\\CurrentVersion, Run): "
            "guard: " + reason + "\n",
            log.substr(end + 1));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                          "App"));
}

TEST_F(DeletionFailureTest, AnUnreadableKeyFailsAtTheCapture) {
  // Nobody may read the key; its access list may still be changed back.
  EXPECT_EQ(DeletionFailure::kCapture, FailToDeleteKeyWithAccess("Sealed", "D:(A;;RCWD;;;WD)"));
  EXPECT_EQ("CBackupManager::DeleteKey (Software\\Fix, Sealed)\n"
            "CBackupManager::DeleteKey failed (Software\\Fix, Sealed): capture: "
            "the snapshot could not read all of it\n",
            Log());
}

TEST_F(DeletionFailureTest, WhatIsNotThereFailsAtTheDeleteWithTheRegistryError) {
  EXPECT_EQ(0, manager_->DeleteKey("key", HKEY_CURRENT_USER, "Software\\Fix", "Gone"));
  EXPECT_EQ(DeletionFailure::kDelete, manager_->GetLastFailureKind());
  EXPECT_EQ(0, manager_->DeleteValue("value", HKEY_CURRENT_USER, "Software\\Fix", "Stale"));
  EXPECT_EQ(DeletionFailure::kDelete, manager_->GetLastFailureKind());
  // The system's wording of the error differs between Windows versions and
  // Wine; its number does not.
  const std::string log = Log();
  const std::string keyFailed = "CBackupManager::DeleteKey failed (Software\\Fix, Gone): delete: ";
  const std::string valueFailed =
      "CBackupManager::DeleteValue failed (Software\\Fix, Stale): delete: ";
  const size_t key = log.find(keyFailed);
  const size_t value = log.find(valueFailed);
  ASSERT_NE(std::string::npos, key) << log;
  ASSERT_NE(std::string::npos, value) << log;
  EXPECT_EQ(0u, log.find("CBackupManager::DeleteKey (Software\\Fix, Gone)\n" + keyFailed));
  const std::string between = " (error 2)\nCBackupManager::DeleteValue (Software\\Fix, Stale)\n";
  EXPECT_EQ(between, log.substr(log.find('\n', key) - 10, between.size()));
  EXPECT_EQ(" (error 2)\n", log.substr(log.size() - 11));
  // A later deletion that works clears the failure and adds no line.
  SetString(HKEY_CURRENT_USER, "Software\\Fix", "Stale", "1");
  EXPECT_EQ(1, manager_->DeleteValue("value", HKEY_CURRENT_USER, "Software\\Fix", "Stale"));
  EXPECT_EQ(DeletionFailure::kNone, manager_->GetLastFailureKind());
  EXPECT_EQ("", manager_->GetLastFailure());
  const std::string after = Log();
  EXPECT_EQ("CBackupManager::DeleteValue (Software\\Fix, Stale)\n", after.substr(log.size()));
}

TEST_F(DeletionFailureTest, AnUnwritableJournalStopsTheDeletionAndSaysWhy) {
  SetString(HKEY_CURRENT_USER, "Software\\Fix", "Stale", "1");
  // A file where the backup folder was: the journal cannot be created.
  ASSERT_TRUE(RemoveDirectoryA(BackupFolder().c_str()));
  WriteFileBytes(BackupFolder(), "in the way");
  EXPECT_EQ(0, manager_->DeleteValue("value", HKEY_CURRENT_USER, "Software\\Fix", "Stale"));
  EXPECT_EQ(DeletionFailure::kJournal, manager_->GetLastFailureKind());
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\Fix", "Stale"));
  const std::string expected = "CBackupManager::DeleteValue failed (Software\\Fix, Stale): journal: " +
                               manager_->GetLastFailure() + "\n";
  const std::string log = Log();
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(expected, log.substr(log.size() - expected.size()));
  EXPECT_EQ(0u, manager_->GetLastFailure().find("the backup folder " + BackupFolder() +
                                                " cannot be written: "));
  Exit();
  DeleteFileA(BackupFolder().c_str());
}

TEST_F(DeletionFailureTest, ARegistryThatRefusesTheDeleteIsLoggedWithItsError) {
  // Everyone may read the key (and change its access list), nobody may
  // delete it.
  EXPECT_EQ(DeletionFailure::kDelete, FailToDeleteKeyWithAccess("Locked", "D:(A;;KRWD;;;WD)"));
  EXPECT_EQ("the registry refused the deletion", manager_->GetLastFailure());
  const std::string log = Log();
  EXPECT_NE(std::string::npos,
            log.find("CBackupManager::DeleteKey failed (Software\\Fix, Locked): delete: "))
      << log;
  EXPECT_EQ(" (error 5)\n", log.substr(log.size() - 11));
  // Nothing was recorded, and the journal holds no live operation.
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
}

}  // namespace
