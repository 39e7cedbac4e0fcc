// The backup manager across program runs: what it writes at exit, what it
// loads at start-up, and what happens to loaded files after restores.

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>

#include "BackupFixture.h"
#include "BackupTestFiles.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

bool IsGuidFileName(const std::string& name) {
  if (name.size() != 38 + 4 || name.substr(38) != ".rbk") return false;
  if (name[0] != '{' || name[37] != '}') return false;
  for (size_t i = 1; i < 37; ++i) {
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    const char c = name[i];
    if (dash ? c != '-' : !(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F')))
      return false;
  }
  return true;
}

class BackupManagerTest : public BackupFixture {
 protected:
  // Deletes `count` planted values in one run and ends it; returns the file.
  std::string RunThatDeletes(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "v" + std::to_string(i);
      SetString(HKEY_CURRENT_USER, "Software\\Run", name, "data" + std::to_string(i));
      EXPECT_EQ(1, manager_->DeleteValue("value " + name, HKEY_CURRENT_USER, "Software\\Run", name));
    }
    Exit();
    std::vector<std::string> files = ListFiles(BackupFolder(), "*.rbk");
    EXPECT_EQ(1u, files.size());
    return files.empty() ? std::string() : BackupFolder() + "\\" + files[0];
  }
};

TEST_F(BackupManagerTest, RunWithoutDeletionWritesNoFile) {
  EXPECT_TRUE(FileExists(BackupFolder()));
  EXPECT_EQ(0, manager_->DeleteKey("missing", HKEY_CURRENT_USER, "Software", "NoSuchKey"));
  EXPECT_EQ(0, manager_->DeleteValue("missing", HKEY_CURRENT_USER, "Software", "NoSuchValue"));
  Exit();
  EXPECT_TRUE(ListFiles(BackupFolder()).empty());
}

TEST_F(BackupManagerTest, ExitWritesGuidNamedFileThatTheNextStartLoads) {
  SetString(HKEY_CURRENT_USER, "Software\\Run\\Gone", "v", "x");
  ASSERT_EQ(1, manager_->DeleteKey("a key", HKEY_CURRENT_USER, "Software\\Run", "Gone"));
  const int64_t created = manager_->GetCurrentSession().GetTime();
  Exit();
  std::vector<std::string> files = ListFiles(BackupFolder());
  ASSERT_EQ(1u, files.size());
  EXPECT_TRUE(IsGuidFileName(files[0])) << files[0];

  Restart();
  ASSERT_EQ(1u, manager_->GetSessions().size());
  CBackupSession* loaded = manager_->GetSessions()[0];
  EXPECT_EQ(BackupFolder() + "\\" + files[0], loaded->GetFilePath());
  EXPECT_EQ(0, loaded->IsDirty());
  EXPECT_EQ(created, loaded->GetTime());
  ASSERT_EQ(1, loaded->Count());
  EXPECT_EQ("a key", loaded->At(0)->GetDescription());
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
  ASSERT_EQ(1, loaded->At(0)->Restore());
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\Run\\Gone", "v"));
}

TEST_F(BackupManagerTest, UnreadableFilesAreSkippedAndLeftOnDisk) {
  const std::string good = RunThatDeletes(1);
  std::string goodBytes;
  ASSERT_TRUE(ReadFileBytes(good, goodBytes));
  std::string damaged = goodBytes;
  damaged[damaged.size() - 3] ^= 0x40;
  const std::string snap = Counted("HKCU\\S\\A") + U32(0) + U32(0);
  const std::string type2 = Pack(Time(2024, 1, 1) + U32(1) + Entry(2, "HKCU", "S", "A", "d", snap));
  const std::string badTime = Pack(Time(2024, 13, 1) + U32(1) + Entry(0, "HKCU", "S", "A", "d", snap));
  const struct {
    const char* name;
    std::string bytes;
  } bad[] = {{"empty.rbk", ""}, {"damaged.rbk", damaged}, {"type2.rbk", type2}, {"time.rbk", badTime},
             {"valid.rbkx", goodBytes}};
  for (const auto& b : bad) WriteFileBytes(BackupFolder() + "\\" + b.name, b.bytes);

  Restart();
  ASSERT_EQ(1u, manager_->GetSessions().size());
  EXPECT_EQ(good, manager_->GetSessions()[0]->GetFilePath());
  Exit();
  for (const auto& b : bad) {
    std::string now;
    ASSERT_TRUE(ReadFileBytes(BackupFolder() + "\\" + b.name, now)) << b.name;
    EXPECT_EQ(b.bytes, now) << b.name;
  }
}

TEST_F(BackupManagerTest, PartialRestoreRewritesTheFileWithTheRest) {
  const std::string file = RunThatDeletes(3);
  Restart();
  ASSERT_EQ(1u, manager_->GetSessions().size());
  CBackupSession* session = manager_->GetSessions()[0];
  const int64_t time = session->GetTime();
  ASSERT_EQ(3, session->Count());
  IRegistryOperation* middle = session->At(1);
  ASSERT_EQ("value v1", middle->GetDescription());
  ASSERT_EQ(1, middle->Restore());
  delete middle;
  EXPECT_EQ(1, session->IsDirty());
  Exit();

  ASSERT_EQ(1u, ListFiles(BackupFolder()).size());
  CBackupSession reread;
  ASSERT_EQ(1, reread.Load(file));
  ASSERT_EQ(2, reread.Count());
  EXPECT_EQ("value v0", reread.At(0)->GetDescription());
  EXPECT_EQ("value v2", reread.At(1)->GetDescription());
  EXPECT_EQ(time, reread.GetTime());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, "Software\\Run", "v1", type, data));
  EXPECT_EQ(std::string("data1\0", 6), data);
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Software\\Run", "v0"));
}

TEST_F(BackupManagerTest, FullRestoreDeletesTheFileAtExit) {
  const std::string file = RunThatDeletes(2);
  Restart();
  ASSERT_EQ(1u, manager_->GetSessions().size());
  CBackupSession* session = manager_->GetSessions()[0];
  while (session->Count() > 0) {
    EXPECT_EQ(1, session->At(0)->Restore());
    delete session->At(0);
  }
  EXPECT_TRUE(FileExists(file));
  Exit();
  EXPECT_FALSE(FileExists(file));
  EXPECT_TRUE(ListFiles(BackupFolder()).empty());
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\Run", "v0"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\Run", "v1"));
}

TEST_F(BackupManagerTest, UntouchedLoadedFileIsNotRewritten) {
  // Day of week 0 on a Saturday: a rewrite would store 6.
  const std::string snap = Counted("HKCU\\S\\A") + U32(0) + U32(0);
  const std::string bytes = Pack(Time(2024, 3, 9) + U32(1) + Entry(0, "HKCU", "S", "A", "d", snap));
  const std::string path = BackupFolder() + "\\{00000000-0000-0000-0000-000000000000}.rbk";
  WriteFileBytes(path, bytes);
  Restart();
  ASSERT_EQ(1u, manager_->GetSessions().size());
  Exit();
  std::string now;
  ASSERT_TRUE(ReadFileBytes(path, now));
  EXPECT_EQ(bytes, now);
}

TEST_F(BackupManagerTest, AccessorAnswersTheInstalledManager) {
  SetBackupManagerForTesting(manager_.get());
  EXPECT_EQ(manager_.get(), &GetBackupManager());
  SetString(HKEY_CURRENT_USER, "Software\\Run", "v", "x");
  EXPECT_EQ(1, GetBackupManager().DeleteValue("through accessor", HKEY_CURRENT_USER, "Software\\Run", "v"));
  EXPECT_EQ(1, manager_->GetCurrentSession().Count());
  SetBackupManagerForTesting(nullptr);
}

}  // namespace
