// The recovery journal: each deletion is on disk before it happens, and a
// run that dies before its exit still leaves a backup that restores.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "BackupFixture.h"
#include "BackupTestFiles.h"
#include "backup/JournalCodec.h"
#include "backup/Snapshot.h"
#include "support/EnvOverride.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

const char kVictims[] = "Software\\Victims";
const int kPlanted = 20;
const int kDeletedBeforeKill = 12;

std::string VictimName(int i) { return "k" + std::to_string(i); }

void PlantVictims() {
  for (int i = 0; i < kPlanted; ++i) {
    const std::string key = std::string(kVictims) + "\\" + VictimName(i);
    SetString(HKEY_CURRENT_USER, key, "", "default " + std::to_string(i));
    SetRaw(HKEY_CURRENT_USER, key + "\\Sub", "bin", REG_BINARY, "\x00\x01\x02", 3);
    SetRaw(HKEY_CURRENT_USER, key, "multi", REG_MULTI_SZ, "a\0b\0\0", 5);
  }
}

SessionPayload ReadJournal(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(path, bytes));
  SessionPayload payload;
  EXPECT_TRUE(DecodeJournal(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), payload));
  return payload;
}

class BackupJournalTest : public BackupFixture {
 protected:
  std::vector<std::string> Journals() { return ListFiles(BackupFolder(), "*.rbj"); }
  std::vector<std::string> Backups() { return ListFiles(BackupFolder(), "*.rbk"); }
};

TEST_F(BackupJournalTest, EachDeletionIsOnDiskBeforeTheNext) {
  PlantVictims();
  EXPECT_TRUE(Journals().empty());
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(1, manager_->DeleteKey("victim", HKEY_CURRENT_USER, kVictims, VictimName(i)));
    ASSERT_EQ(1u, Journals().size());
    const SessionPayload journal = ReadJournal(BackupFolder() + "\\" + Journals()[0]);
    ASSERT_EQ(static_cast<size_t>(i + 1), journal.operations.size());
    const Bytes snapshot = manager_->GetCurrentSession().At(i)->GetSnapshot();
    EXPECT_EQ(snapshot, journal.operations[static_cast<size_t>(i)].snapshot);
    EXPECT_EQ(VictimName(i), journal.operations[static_cast<size_t>(i)].name);
  }
  // A failed deletion leaves nothing to recover.
  EXPECT_EQ(0, manager_->DeleteKey("missing", HKEY_CURRENT_USER, kVictims, "NoSuch"));
  EXPECT_EQ(3u, ReadJournal(BackupFolder() + "\\" + Journals()[0]).operations.size());

  // A clean exit turns the journal into the backup file of the same name.
  const std::string stem = Journals()[0].substr(0, 38);
  Exit();
  EXPECT_TRUE(Journals().empty());
  ASSERT_EQ(1u, Backups().size());
  EXPECT_EQ(stem + ".rbk", Backups()[0]);
}

TEST_F(BackupJournalTest, JournalLeftByACrashIsRecoveredAtStart) {
  PlantVictims();
  std::vector<Snapshot> before(3);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(1, CaptureKey(HKEY_CURRENT_USER, std::string(kVictims) + "\\" + VictimName(i), before[i]));
    ASSERT_EQ(1, manager_->DeleteKey("victim " + std::to_string(i), HKEY_CURRENT_USER, kVictims, VictimName(i)));
  }
  const int64_t time = manager_->GetCurrentSession().GetTime();
  // What a crash right now leaves on disk: the journal, with a torn frame
  // from a deletion that was being recorded.
  ASSERT_EQ(1u, Journals().size());
  std::string journal;
  ASSERT_TRUE(ReadFileBytes(BackupFolder() + "\\" + Journals()[0], journal));
  journal += U32(500) + "torn";
  TempFolder crashed;
  WriteFileBytes(crashed.PathOf(Journals()[0]), journal);

  CBackupManager next(crashed.Path());
  EXPECT_TRUE(ListFiles(crashed.Path(), "*.rbj").empty());
  ASSERT_EQ(1u, ListFiles(crashed.Path(), "*.rbk").size());
  ASSERT_EQ(1u, next.GetSessions().size());
  CBackupSession* session = next.GetSessions()[0];
  EXPECT_EQ(time, session->GetTime());
  ASSERT_EQ(3, session->Count());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ("victim " + std::to_string(i), session->At(i)->GetDescription());
    ASSERT_EQ(1, session->At(i)->Restore());
    Snapshot after;
    ASSERT_EQ(1, CaptureKey(HKEY_CURRENT_USER, std::string(kVictims) + "\\" + VictimName(i), after));
    EXPECT_TRUE(SameNode(before[i].root, after.root)) << i;
  }
}

// Without a place to keep the backup, nothing may be deleted.
TEST_F(BackupJournalTest, NoDeletionWithoutAJournal) {
  SetString(HKEY_CURRENT_USER, kVictims, "v", "1");
  const std::string notAFolder = temp_.MakeFile("plainfile", "x");
  CBackupManager blocked(notAFolder);
  EXPECT_EQ(0, blocked.DeleteValue("v", HKEY_CURRENT_USER, kVictims, "v"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictims, "v"));
  EXPECT_EQ(0, blocked.GetCurrentSession().Count());
}

TEST_F(BackupJournalTest, RecoveryLeavesWhatItCannotUse) {
  const std::string folder = BackupFolder();
  Exit();
  // Already saved by the exit: only the journal goes.
  WriteFileBytes(folder + "\\{A}.rbj", "VHJ1");
  WriteFileBytes(folder + "\\{A}.rbk", "kept as it is");
  // Not a journal at all: left alone, for a person to look at.
  WriteFileBytes(folder + "\\{B}.rbj", std::string(40, 'x'));
  // Header only (nothing was deleted yet): nothing to keep.
  Bytes header;
  EncodeJournalHeader(SessionTime{2024, 1, 1, 1, 0, 0, 0, 0}, header);
  WriteFileBytes(folder + "\\{C}.rbj", std::string(header.begin(), header.end()));
  Restart();
  EXPECT_FALSE(FileExists(folder + "\\{A}.rbj"));
  std::string kept;
  ASSERT_TRUE(ReadFileBytes(folder + "\\{A}.rbk", kept));
  EXPECT_EQ("kept as it is", kept);
  EXPECT_TRUE(FileExists(folder + "\\{B}.rbj"));
  EXPECT_FALSE(FileExists(folder + "\\{C}.rbj"));
  EXPECT_FALSE(FileExists(folder + "\\{C}.rbk"));
  EXPECT_TRUE(manager_->GetSessions().empty());
}

// Runs in a child process started by the test below: deletes through a
// manager over the given folder, says so, and waits to be killed.
TEST(JournalChild, DISABLED_DeleteUntilKilled) {
  const char* arguments = getenv("VH_JOURNAL_CHILD");
  ASSERT_NE(nullptr, arguments);
  char hkcu[512], folder[512], log[512], ready[128];
  ASSERT_EQ(4, sscanf(arguments, "%511[^|]|%511[^|]|%511[^|]|%127[^|]", hkcu, folder, log, ready));
  // See the registry exactly as the parent's sandbox does.
  HKEY standIn = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, hkcu, 0, KEY_ALL_ACCESS, &standIn));
  ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, standIn));
  CCleaningLog::SetPathForTesting(log);
  CBackupManager manager(folder);
  for (int i = 0; i < kDeletedBeforeKill; ++i)
    ASSERT_EQ(1, manager.DeleteKey("entry " + std::to_string(i), HKEY_CURRENT_USER, kVictims, VictimName(i)));
  HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
  ASSERT_NE(nullptr, event);
  SetEvent(event);
  Sleep(INFINITE);
}

TEST_F(BackupJournalTest, FixRunKilledMidwayRestoresByteForByte) {
  PlantVictims();
  std::vector<Snapshot> before(kPlanted);
  for (int i = 0; i < kPlanted; ++i)
    ASSERT_EQ(1, CaptureKey(HKEY_CURRENT_USER, std::string(kVictims) + "\\" + VictimName(i), before[i]));

  const std::string ready = "VhJournalReady" + std::to_string(GetCurrentProcessId());
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
  ASSERT_NE(nullptr, event);
  const std::string arguments =
      sandbox_.ScratchPath() + "\\HKCU|" + BackupFolder() + "|" + temp_.PathOf("child.log") + "|" + ready;
  EnvOverride env("VH_JOURNAL_CHILD", arguments);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = std::string("\"") + self +
                        "\" --gtest_filter=JournalChild.DISABLED_DeleteUntilKilled --gtest_also_run_disabled_tests";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  HANDLE waits[2] = {event, child.hProcess};
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 60000);
  TerminateProcess(child.hProcess, 3);
  WaitForSingleObject(child.hProcess, 10000);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  CloseHandle(event);
  ASSERT_EQ(WAIT_OBJECT_0, woke) << "the child ended or hung before deleting";

  for (int i = 0; i < kPlanted; ++i)
    EXPECT_EQ(i >= kDeletedBeforeKill, KeyExists(HKEY_CURRENT_USER, std::string(kVictims) + "\\" + VictimName(i)));
  EXPECT_TRUE(Backups().empty());

  Restart();
  ASSERT_EQ(1u, manager_->GetSessions().size());
  CBackupSession* session = manager_->GetSessions()[0];
  ASSERT_EQ(kDeletedBeforeKill, session->Count());
  for (int i = 0; i < kDeletedBeforeKill; ++i) {
    EXPECT_EQ("entry " + std::to_string(i), session->At(i)->GetDescription());
    ASSERT_EQ(1, session->At(i)->Restore());
  }
  for (int i = 0; i < kPlanted; ++i) {
    Snapshot after;
    ASSERT_EQ(1, CaptureKey(HKEY_CURRENT_USER, std::string(kVictims) + "\\" + VictimName(i), after));
    EXPECT_TRUE(SameNode(before[i].root, after.root)) << i;
  }
}

}  // namespace
