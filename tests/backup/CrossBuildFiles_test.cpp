// Backup files are one format for the 32-bit and the 64-bit program. The
// files in tests/backup/data were written by the program: both builds' suites
// load them, restore them byte for byte, and write the very same bytes for
// the same deletions themselves.
//
// To write the files anew (only when the format changes on purpose), run this
// test with VARNHOLT_GOLDEN_OUT naming a folder: ThisBuildWritesTheGoldenBytes
// then also leaves its own journal and backup file there.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "BackupFixture.h"
#include "BackupTestFiles.h"
#include "backup/JournalCodec.h"
#include "support/ProcessRunner.h"
#include "support/RegistryDump.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

const char kParent[] = "Software\\VhGolden";
const char kJournalName[] = "{6F0B3C1E-2D4A-4B59-8C7E-0123456789AB}.rbj";
const int kOperations = 3;

// Every value type, the odd ones included, names that need escaping, a
// default value, an empty key and nested subkeys.
void PlantGoldenSet() {
  const std::string app = std::string(kParent) + "\\App";
  SetString(HKEY_CURRENT_USER, app, "", "default text");
  SetRaw(HKEY_CURRENT_USER, app, "expand", REG_EXPAND_SZ, "%SystemRoot%\\x.dll", 19);
  SetRaw(HKEY_CURRENT_USER, app, "multi", REG_MULTI_SZ, "one\0two\0\0", 9);
  SetRaw(HKEY_CURRENT_USER, app, "binary", REG_BINARY, "\x00\xff\x10\x80", 4);
  SetDword(HKEY_CURRENT_USER, app, "dword", 0x12345678);
  SetRaw(HKEY_CURRENT_USER, app, "qword", REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08", 8);
  SetRaw(HKEY_CURRENT_USER, app, "none", REG_NONE, "\x07\x00\x07", 3);
  SetRaw(HKEY_CURRENT_USER, app, "unterminated", REG_SZ, "abc", 3);
  SetRaw(HKEY_CURRENT_USER, app, "odd", REG_SZ, "ab\0c\0", 5);
  SetRaw(HKEY_CURRENT_USER, app, "empty", REG_SZ, "", 0);
  SetString(HKEY_CURRENT_USER, app, "quote \"and\" back\\slash", "v");
  SetString(HKEY_CURRENT_USER, app + "\\Sub\\Deeper", "leaf", "x");
  CreateKey(HKEY_CURRENT_USER, app + "\\Sub\\Empty");
  SetRaw(HKEY_CURRENT_USER, kParent, "stray", REG_DWORD_BIG_ENDIAN, "\x00\x00\x01\x02", 4);
  SetString(HKEY_CURRENT_USER, kParent, "keep", "stays");
}

// The deletions the golden files record, through the backup manager.
void DeleteGoldenSet(CBackupManager& manager) {
  ASSERT_EQ(1, manager.DeleteKey("Golden key", HKEY_CURRENT_USER, kParent, "App"));
  ASSERT_EQ(1, manager.DeleteValue("Golden value", HKEY_CURRENT_USER, kParent, "stray"));
  ASSERT_EQ(1, manager.DeleteValue("Golden default", HKEY_CURRENT_USER, std::string(kParent) + "\\None", ""));
}

std::string GoldenFile(const char* name) { return SourceTreeFile(std::string("tests/backup/data/") + name); }

class CrossBuildFilesTest : public BackupFixture {
 protected:
  void SetUp() override {
    BackupFixture::SetUp();
    PlantGoldenSet();
    SetString(HKEY_CURRENT_USER, std::string(kParent) + "\\None", "", "default only");
    planted_ = PictureOfSandbox();
  }

  // Removes what the golden files record, without recording it.
  void DeleteByHand() {
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kParent) + "\\App").c_str()));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kParent, 0, KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "stray"));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kParent) + "\\None").c_str(), 0,
                                           KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, ""));
    RegCloseKey(key);
    ASSERT_FALSE(Differences(planted_, PictureOfSandbox()).empty());
  }

  void ExpectRestoredExactly(CBackupSession& session) {
    ASSERT_EQ(kOperations, session.Count());
    EXPECT_EQ("Golden key", session.At(0)->GetDescription());
    EXPECT_EQ("Golden value", session.At(1)->GetDescription());
    for (int i = 0; i < session.Count(); ++i) EXPECT_EQ(1, session.At(i)->Restore()) << i;
    for (const std::string& line : Differences(planted_, PictureOfSandbox())) ADD_FAILURE() << line;
  }

  RegistryPicture planted_;
};

TEST_F(CrossBuildFilesTest, GoldenBackupFileLoadsAndRestoresByteForByte) {
  DeleteByHand();
  CBackupSession session;
  ASSERT_EQ(1, session.Load(GoldenFile("golden.rbk")));
  ExpectRestoredExactly(session);
}

TEST_F(CrossBuildFilesTest, GoldenJournalIsRecoveredAndRestoresByteForByte) {
  DeleteByHand();
  TempFolder crashed;
  ASSERT_TRUE(CopyFileTo(GoldenFile("golden.rbj"), crashed.PathOf(kJournalName)));
  CBackupManager next(crashed.Path());
  ASSERT_EQ(1u, next.GetSessions().size());
  ExpectRestoredExactly(*next.GetSessions()[0]);
}

// The same deletions made by this build give the golden bytes, all but the
// session's time: snapshots, records, framing and compression alike.
TEST_F(CrossBuildFilesTest, ThisBuildWritesTheGoldenBytes) {
  DeleteGoldenSet(*manager_);
  const std::vector<std::string> journals = ListFiles(BackupFolder(), "*.rbj");
  ASSERT_EQ(1u, journals.size());
  if (const char* out = getenv("VARNHOLT_GOLDEN_OUT")) {
    ASSERT_TRUE(CopyFileTo(BackupFolder() + "\\" + journals[0], std::string(out) + "\\golden.rbj"));
    ASSERT_EQ(1, manager_->GetCurrentSession().Save(std::string(out) + "\\golden.rbk"));
  }
  std::string journal, goldenJournal;
  ASSERT_TRUE(ReadFileBytes(BackupFolder() + "\\" + journals[0], journal));
  ASSERT_TRUE(ReadFileBytes(GoldenFile("golden.rbj"), goldenJournal));
  ASSERT_GT(goldenJournal.size(), kJournalHeaderSize);
  EXPECT_EQ(goldenJournal.substr(0, 4), journal.substr(0, 4));
  EXPECT_TRUE(goldenJournal.substr(kJournalHeaderSize) == journal.substr(kJournalHeaderSize))
      << "journal frames differ from the golden journal's";

  std::string goldenFile;
  ASSERT_TRUE(ReadFileBytes(GoldenFile("golden.rbk"), goldenFile));
  const std::string goldenPayload = Unpack(goldenFile);
  CBackupSession golden;
  ASSERT_EQ(1, golden.Load(GoldenFile("golden.rbk")));
  // Saved with the golden session's time, this build's file is the golden
  // file to the byte.
  SessionPayload ours;
  Bytes payload;
  ASSERT_EQ(1, manager_->GetCurrentSession().Serialize(payload));
  ASSERT_TRUE(DecodePayload(payload.data(), payload.size(), ours));
  ours.time = CBackupSession::ToStoredTime(golden.GetTime());
  CBackupSession retimed;
  retimed.Assign(ours);
  const std::string path = temp_.PathOf("ours.rbk");
  ASSERT_EQ(1, retimed.Save(path));
  std::string file;
  ASSERT_TRUE(ReadFileBytes(path, file));
  EXPECT_EQ(goldenPayload, Unpack(file));
  EXPECT_TRUE(goldenFile == file) << "compressed files differ";
}

}  // namespace
