// Backup sessions on disk: the exact ".rbk" layout, round trips, and files
// that must be refused whole.

#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>

#include "BackupFixture.h"
#include "BackupTestFiles.h"
#include "backup/RegDeleteAction.h"
#include "backup/RegKeyDeleteAction.h"
#include "backup/RegValueDeleteAction.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

const std::string kSnap = Counted("HKCU\\Software\\A") + U32(0) + U32(0);

std::string OneKeyPayload(const std::string& root = "HKCU", uint32_t type = 0) {
  return Time(2024, 3, 9) + U32(1) + Entry(type, root, "Software", "A", "desc", kSnap);
}

class BackupSessionTest : public BackupFixture {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = temp_.PathOf(name);
    WriteFileBytes(path, bytes);
    return path;
  }
};

TEST_F(BackupSessionTest, SavedFileHasTheDocumentedLayout) {
  SetString(HKEY_CURRENT_USER, "Software\\Lay\\Key", "v", "1");
  SetString(HKEY_CURRENT_USER, "Software\\Lay", "val", "x");
  ASSERT_EQ(1, manager_->DeleteKey("key gone", HKEY_CURRENT_USER, "Software\\Lay", "Key"));
  ASSERT_EQ(1, manager_->DeleteValue("value gone", HKEY_CURRENT_USER, "Software\\Lay", "val"));
  CBackupSession& session = manager_->GetCurrentSession();
  const time_t created = static_cast<time_t>(session.GetTime());
  const std::string path = temp_.PathOf("layout.rbk");
  ASSERT_EQ(1, session.Save(path));

  std::string file;
  ASSERT_TRUE(ReadFileBytes(path, file));
  ASSERT_GT(file.size(), 6u);
  EXPECT_EQ(0x78, static_cast<unsigned char>(file[4]));  // zlib stream header
  const std::string payload = Unpack(file);
  ASSERT_FALSE(payload.empty());
  EXPECT_EQ(U32(static_cast<uint32_t>(payload.size())), file.substr(0, 4));

  const struct tm* local = localtime(&created);
  ASSERT_NE(nullptr, local);
  const std::string time = U16(static_cast<uint16_t>(local->tm_year + 1900)) +
                           U16(static_cast<uint16_t>(local->tm_mon + 1)) +
                           U16(static_cast<uint16_t>(local->tm_wday)) +
                           U16(static_cast<uint16_t>(local->tm_mday)) +
                           U16(static_cast<uint16_t>(local->tm_hour)) +
                           U16(static_cast<uint16_t>(local->tm_min)) +
                           U16(static_cast<uint16_t>(local->tm_sec)) + U16(0);
  const Bytes keySnap = session.At(0)->GetSnapshot();
  const Bytes valueSnap = session.At(1)->GetSnapshot();
  const std::string expected =
      time + U32(2) +
      Entry(0, "HKCU", "Software\\Lay", "Key", "key gone", std::string(keySnap.begin(), keySnap.end())) +
      Entry(1, "HKCU", "Software\\Lay", "val", "value gone",
            std::string(valueSnap.begin(), valueSnap.end()));
  EXPECT_EQ(expected, payload);
  EXPECT_EQ(static_cast<int>(keySnap.size()) + 12 + 3 + 8 + 20, session.At(0)->GetRecordSize());
  // No temporary file is left beside it.
  EXPECT_EQ(1u, ListFiles(temp_.Path(), "layout*").size());
}

TEST_F(BackupSessionTest, LoadReadsBackEveryField) {
  const std::string payload =
      Time(2024, 3, 9, 14, 30, 5, 6) + U32(2) + Entry(0, "HKCR", "CLSID", "{x}", "a key", kSnap) +
      Entry(1, "HKLM", "", "", "a value", kSnap);
  CBackupSession session;
  ASSERT_EQ(1, session.Load(Write("in.rbk", Pack(payload))));
  EXPECT_EQ(0, session.IsDirty());
  EXPECT_EQ(temp_.PathOf("in.rbk"), session.GetFilePath());
  ASSERT_EQ(2, session.Count());
  auto* key = static_cast<CRegDeleteAction*>(session.At(0));
  auto* value = static_cast<CRegDeleteAction*>(session.At(1));
  EXPECT_EQ(0, key->GetType());
  EXPECT_EQ(HKEY_CLASSES_ROOT, key->GetRoot());
  EXPECT_EQ("CLSID", key->GetKeyPath());
  EXPECT_EQ("{x}", key->GetName());
  EXPECT_EQ("a key", key->GetDescription());
  EXPECT_EQ(Bytes(kSnap.begin(), kSnap.end()), key->GetSnapshot());
  EXPECT_EQ(1, value->GetType());
  EXPECT_EQ(HKEY_LOCAL_MACHINE, value->GetRoot());
  EXPECT_EQ("", value->GetName());

  struct tm local = {};
  local.tm_year = 124;
  local.tm_mon = 2;
  local.tm_mday = 9;
  local.tm_hour = 14;
  local.tm_min = 30;
  local.tm_sec = 5;
  local.tm_isdst = -1;
  EXPECT_EQ(static_cast<int64_t>(mktime(&local)), session.GetTime());

  // Saving what was loaded gives back the same payload.
  const std::string copy = temp_.PathOf("copy.rbk");
  ASSERT_EQ(1, session.Save(copy));
  std::string file;
  ASSERT_TRUE(ReadFileBytes(copy, file));
  EXPECT_EQ(payload, Unpack(file));
}

TEST_F(BackupSessionTest, RecordRootIsCaseSensitive) {
  CBackupSession session;
  ASSERT_EQ(1, session.Load(Write("lower.rbk", Pack(OneKeyPayload("hkcu")))));
  ASSERT_EQ(1, session.Count());
  auto* op = static_cast<CRegDeleteAction*>(session.At(0));
  EXPECT_EQ(nullptr, op->GetRoot());
  // Without a root it cannot delete anything.
  SetString(HKEY_CURRENT_USER, "Software\\A", "v", "1");
  EXPECT_EQ(0, op->Execute());
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\A"));
}

TEST_F(BackupSessionTest, YearBefore1900LoadsWithTimeZero) {
  const std::string payload = Time(1850, 1, 1) + U32(1) + Entry(0, "HKCU", "S", "A", "d", kSnap);
  CBackupSession session;
  ASSERT_EQ(1, session.Load(Write("old.rbk", Pack(payload))));
  EXPECT_EQ(0, session.GetTime());
}

TEST_F(BackupSessionTest, MalformedFilesAreRefusedWhole) {
  const std::string good = OneKeyPayload();
  std::string damagedZlib = Pack(good);
  damagedZlib[damagedZlib.size() / 2] ^= 0x55;
  damagedZlib[damagedZlib.size() - 1] ^= 0x55;  // the Adler-32 check
  std::string shortPrefix = Pack(good);
  shortPrefix.replace(0, 4, U32(static_cast<uint32_t>(good.size() + 10)));
  std::string longPrefix = Pack(good);
  longPrefix.replace(0, 4, U32(static_cast<uint32_t>(good.size() - 1)));
  std::string hugePrefix = Pack(good);
  hugePrefix.replace(0, 4, U32(0xffffffffu));
  const std::string overrun =
      Time(2024, 1, 1) + U32(1) + U32(0) + "HKCU" + Counted("S") + Counted("A") + Counted("d") + U32(500) + "x";

  const struct {
    const char* what;
    std::string file;
  } cases[] = {
      {"empty file", ""},
      {"prefix only", U32(20)},
      {"damaged zlib", damagedZlib},
      {"payload longer than claimed", longPrefix},
      {"payload shorter than claimed", shortPrefix},
      {"0xFFFFFFFF prefix", hugePrefix},
      {"operation type 2", Pack(OneKeyPayload("HKCU", 2))},
      {"record past the end", Pack(overrun)},
      {"count larger than entries", Pack(Time(2024, 1, 1) + U32(2) + Entry(0, "HKCU", "S", "A", "d", kSnap))},
      {"trailing bytes", Pack(good + "x")},
      {"month 13", Pack(Time(2024, 13, 1) + U32(0))},
      {"day 0", Pack(Time(2024, 1, 0) + U32(0))},
      {"February 30", Pack(Time(2023, 2, 29) + U32(0))},
      {"hour 24", Pack(Time(2024, 1, 1, 24) + U32(0))},
      {"not zlib at all", U32(40) + std::string(40, 'z')},
  };
  for (const auto& c : cases) {
    CBackupSession session;
    // A session that held something must come out empty.
    ASSERT_EQ(1, session.Load(Write("good.rbk", Pack(good))));
    EXPECT_EQ(0, session.Load(Write("bad.rbk", c.file))) << c.what;
    EXPECT_EQ(0, session.Count()) << c.what;
  }
  CBackupSession session;
  EXPECT_EQ(0, session.Load(temp_.PathOf("missing.rbk")));
  EXPECT_EQ(1, session.Load(Write("leap.rbk", Pack(Time(2024, 2, 29) + U32(0)))));
}

TEST_F(BackupSessionTest, EveryTruncationIsRefused) {
  const std::string file = Pack(OneKeyPayload());
  for (size_t cut = 0; cut < file.size(); ++cut) {
    CBackupSession session;
    EXPECT_EQ(0, session.Load(Write("cut.rbk", file.substr(0, cut)))) << cut;
    EXPECT_EQ(0, session.Count());
  }
}

TEST_F(BackupSessionTest, RandomBitFlipsNeverCrashTheLoad) {
  const std::string payload = Time(2024, 3, 9) + U32(2) + Entry(0, "HKCU", "Software", "A", "desc", kSnap) +
                              Entry(1, "HKLM", "Software\\X", "v", "value", kSnap);
  const std::string file = Pack(payload);
  uint32_t seed = 12345;
  int loaded = 0;
  for (int round = 0; round < 300; ++round) {
    std::string damaged = file;
    for (int flips = 1 + round % 4; flips > 0; --flips) {
      seed = seed * 1103515245u + 12345u;
      const size_t bit = (seed >> 8) % (damaged.size() * 8);
      damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
    }
    CBackupSession session;
    const int ok = session.Load(Write("flip.rbk", damaged));
    // Whatever loads must still be a well-formed session.
    if (ok) {
      ++loaded;
      EXPECT_EQ(2, session.Count());
    } else {
      EXPECT_EQ(0, session.Count());
    }
  }
  // Nearly every flip lands in the zlib stream and is caught by its checks.
  EXPECT_LT(loaded, 30);
}

// A million operations of the smallest size: a 24 MB payload that packs
// into a small file. It must load, without the claimed sizes driving any
// allocation beyond what the data needs.
TEST_F(BackupSessionTest, MillionTinyOperationsLoad) {
  const int count = 1000000;
  std::string payload = Time(2024, 3, 9) + U32(count);
  const std::string entry = Entry(1, "HKCU", "", "", "", "");
  payload.reserve(payload.size() + entry.size() * count);
  for (int i = 0; i < count; ++i) payload += entry;
  const std::string path = Write("million.rbk", Pack(payload));
  payload = std::string();
  CBackupSession session;
  ASSERT_EQ(1, session.Load(path));
  EXPECT_EQ(count, session.Count());
  EXPECT_EQ(1, session.At(count - 1)->GetType());
}

TEST_F(BackupSessionTest, DestroyingAnOperationMakesTheSessionDirty) {
  CBackupSession session;
  ASSERT_EQ(1, session.Load(Write("in.rbk", Pack(OneKeyPayload()))));
  ASSERT_EQ(0, session.IsDirty());
  delete session.At(0);
  EXPECT_EQ(0, session.Count());
  EXPECT_EQ(1, session.IsDirty());
  new CRegValueDeleteAction(&session);
  EXPECT_EQ(1, session.Count());
}

TEST_F(BackupSessionTest, FailedSaveKeepsTheOldFile) {
  CBackupSession session;
  const std::string path = Write("keep.rbk", Pack(OneKeyPayload()));
  ASSERT_EQ(1, session.Load(path));
  // A folder that does not exist cannot take the new file.
  EXPECT_EQ(0, session.Save(temp_.PathOf("nofolder\\x.rbk")));
  // Keep the file open without sharing: the replacement cannot happen.
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  delete session.At(0);
  EXPECT_EQ(0, session.Save(path));
  CloseHandle(lock);
  CBackupSession reread;
  EXPECT_EQ(1, reread.Load(path));
  EXPECT_EQ(1, reread.Count());
  EXPECT_EQ(1u, ListFiles(temp_.Path(), "keep*").size());
}

}  // namespace
