// Snapshots taken by the backup manager's deletions, and restores from them.

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "BackupFixture.h"
#include "BackupTestFiles.h"
#include "backup/RegDeleteAction.h"
#include "backup/RegKeyDeleteAction.h"
#include "backup/RegValueDeleteAction.h"
#include "backup/Snapshot.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

const char* kParent = "Software\\VhTest";
const char* kVictim = "Software\\VhTest\\Victim";

// A key with two levels of subkeys and one value of every awkward kind.
void PlantVictim() {
  const std::string v = kVictim;
  SetRaw(HKEY_CURRENT_USER, v, "", REG_SZ, "", 0);                       // empty default value
  SetRaw(HKEY_CURRENT_USER, v, "none", REG_NONE, "\x01\x02\x03", 3);
  SetRaw(HKEY_CURRENT_USER, v, "multi", REG_MULTI_SZ, "one\0two\0\0", 9);
  SetRaw(HKEY_CURRENT_USER, v, "binary", REG_BINARY, "\x00\xff\x00\xbd", 4);
  SetRaw(HKEY_CURRENT_USER, v, "unterminated", REG_SZ, "abc", 3);
  SetRaw(HKEY_CURRENT_USER, v, "expand", REG_EXPAND_SZ, "%TEMP%\\x\0", 9);
  SetDword(HKEY_CURRENT_USER, v, "dword", 0xdeadbeef);
  SetRaw(HKEY_CURRENT_USER, v, "emptybin", REG_BINARY, "", 0);
  SetString(HKEY_CURRENT_USER, v + "\\Level1", "", "first level");
  SetRaw(HKEY_CURRENT_USER, v + "\\Level1", "bin", REG_BINARY, "\x10\x20", 2);
  SetString(HKEY_CURRENT_USER, v + "\\Level1\\Level2", "deep", "second level");
  SetRaw(HKEY_CURRENT_USER, v + "\\Level1\\Level2", "multi", REG_MULTI_SZ, "x\0\0", 3);
  CreateKey(HKEY_CURRENT_USER, v + "\\Level1\\Empty");
  CreateKey(HKEY_CURRENT_USER, v + "\\Sibling");
}

size_t CountKeys(const SnapshotNode& node) {
  size_t n = node.subkeys.size();
  for (const SnapshotSubkey& s : node.subkeys) n += CountKeys(s.node);
  return n;
}

size_t CountValues(const SnapshotNode& node) {
  size_t n = node.values.size();
  for (const SnapshotSubkey& s : node.subkeys) n += CountValues(s.node);
  return n;
}

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

class SnapshotTest : public BackupFixture {};

TEST_F(SnapshotTest, DeletedTreeRestoresByteForByte) {
  PlantVictim();
  // Wine terminates string data on every write; Windows keeps "abc" as
  // given. Either way the restore must give back what was read before.
  DWORD type = 0;
  std::string unterminated;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "unterminated", type, unterminated));
  ASSERT_EQ("abc", unterminated.substr(0, 3));
  Snapshot before;
  ASSERT_EQ(1, CaptureKey(HKEY_CURRENT_USER, kVictim, before));
  EXPECT_EQ(4u, CountKeys(before.root));
  EXPECT_EQ(12u, CountValues(before.root));

  ASSERT_EQ(1, manager_->DeleteKey("victim", HKEY_CURRENT_USER, kParent, "Victim"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVictim));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kParent));
  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(1, session.Count());

  // The recorded bytes describe exactly the tree that was there.
  Snapshot recorded;
  const Bytes bytes = session.At(0)->GetSnapshot();
  ASSERT_TRUE(DecodeSnapshot(bytes.data(), bytes.size(), recorded));
  EXPECT_EQ("HKCU\\Software\\VhTest\\Victim", recorded.path);
  EXPECT_TRUE(SameNode(before.root, recorded.root));

  ASSERT_EQ(1, session.At(0)->Restore());
  Snapshot after;
  ASSERT_EQ(1, CaptureKey(HKEY_CURRENT_USER, kVictim, after));
  EXPECT_TRUE(SameNode(before.root, after.root));

  std::string data = "sentinel";
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "unterminated", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(unterminated, data);
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "multi", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
  EXPECT_EQ(std::string("one\0two\0\0", 9), data);
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "none", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_NONE), type);
  EXPECT_EQ("\x01\x02\x03", data);
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ("", data);
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, std::string(kVictim) + "\\Level1\\Level2", "deep", type, data));
  EXPECT_EQ(std::string("second level\0", 13), data);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kVictim) + "\\Level1\\Empty"));
}

TEST_F(SnapshotTest, DefaultValueSnapshotHasEmptyNameAndRestores) {
  SetString(HKEY_CURRENT_USER, kVictim, "", "dflt");
  SetString(HKEY_CURRENT_USER, kVictim, "other", "stays");
  ASSERT_EQ(1, manager_->DeleteValue("default", HKEY_CURRENT_USER, kVictim, ""));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kVictim, ""));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictim, "other"));

  ASSERT_EQ(1, manager_->GetCurrentSession().Count());
  IRegistryOperation* op = manager_->GetCurrentSession().At(0);
  EXPECT_EQ(1, op->GetType());
  const std::string expected = Counted("HKCU\\Software\\VhTest\\Victim") + U32(0) + U32(1) + U32(0) +
                               U32(REG_SZ) + Counted(std::string("dflt\0", 5));
  EXPECT_EQ(ToBytes(expected), op->GetSnapshot());

  ASSERT_EQ(1, op->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "", type, data));
  EXPECT_EQ(std::string("dflt\0", 5), data);
}

TEST_F(SnapshotTest, MissingKeyOrValueLeavesSessionUnchanged) {
  SetString(HKEY_CURRENT_USER, kVictim, "v", "1");
  ASSERT_EQ(1, manager_->DeleteValue("first", HKEY_CURRENT_USER, kVictim, "v"));
  CBackupSession& session = manager_->GetCurrentSession();
  IRegistryOperation* first = session.At(0);

  EXPECT_EQ(0, manager_->DeleteKey("missing", HKEY_CURRENT_USER, kParent, "NoSuchKey"));
  EXPECT_EQ(0, manager_->DeleteValue("missing", HKEY_CURRENT_USER, kVictim, "v"));
  EXPECT_EQ(0, manager_->DeleteValue("missing", HKEY_CURRENT_USER, "Software\\NoSuch", "v"));
  ASSERT_EQ(1, session.Count());
  EXPECT_EQ(first, session.At(0));
}

TEST_F(SnapshotTest, KeyPathLosesOuterBackslashesAndEmptyPathMeansRoot) {
  SetString(HKEY_CURRENT_USER, kVictim, "v", "1");
  SetString(HKEY_CURRENT_USER, "VhTop", "v", "2");
  ASSERT_EQ(1, manager_->DeleteKey("d", HKEY_CURRENT_USER, "\\\\Software\\VhTest\\", "Victim"));
  ASSERT_EQ(1, manager_->DeleteKey("d", HKEY_CURRENT_USER, "", "VhTop"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "VhTop"));
  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(2, session.Count());
  auto* op = static_cast<CRegDeleteAction*>(session.At(0));
  EXPECT_EQ("Software\\VhTest", op->GetKeyPath());
  Snapshot s;
  Bytes bytes = session.At(0)->GetSnapshot();
  ASSERT_TRUE(DecodeSnapshot(bytes.data(), bytes.size(), s));
  EXPECT_EQ("HKCU\\Software\\VhTest\\Victim", s.path);
  bytes = session.At(1)->GetSnapshot();
  ASSERT_TRUE(DecodeSnapshot(bytes.data(), bytes.size(), s));
  EXPECT_EQ("HKCU\\VhTop", s.path);
  ASSERT_EQ(1, session.At(1)->Restore());
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "VhTop", "v"));
}

TEST_F(SnapshotTest, EmptyNameNeverDeletesTheParent) {
  SetString(HKEY_CURRENT_USER, kVictim, "v", "1");
  EXPECT_EQ(0, manager_->DeleteKey("parent", HKEY_CURRENT_USER, kVictim, ""));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictim, "v"));
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
}

TEST_F(SnapshotTest, UnknownRootRecordsNothing) {
  Bytes out(3, 0xbd);
  EXPECT_EQ(0, SnapshotKey(HKEY_USERS, "x", out));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(0, manager_->DeleteKey("d", HKEY_USERS, ".DEFAULT", "x"));
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
}

// A name the ANSI code page cannot carry enumerates with substitutes and
// then cannot be opened or read by that name: such a tree cannot be backed
// up, so it must not be deleted.
TEST_F(SnapshotTest, UncapturableTreeIsNotDeleted) {
  SetString(HKEY_CURRENT_USER, kVictim, "v", "1");
  HKEY key = nullptr;
  const std::wstring victim = L"Software\\VhTest\\Victim\\\x03a9\x03bc\x03b5\x03b3\x03b1";
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, victim.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_EQ(0, manager_->DeleteKey("greek", HKEY_CURRENT_USER, kParent, "Victim"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictim, "v"));
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());

  const std::wstring other = L"Software\\VhTest\\Other";
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, other.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"\x03a9", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(L"x"), 4));
  RegCloseKey(key);
  EXPECT_EQ(0, manager_->DeleteKey("greek value", HKEY_CURRENT_USER, kParent, "Other"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\VhTest\\Other"));
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
}

// Names at the registry's limits and large data must be captured whole, not
// dropped while still counted.
TEST_F(SnapshotTest, LongNamesAndLargeDataAreCaptured) {
  // Wine refuses long key names below a redirected root; Windows allows 255.
  const std::string longKey(200, 'k');
  const std::string longValue(2000, 'v');
  const std::string big(1 << 20, 'b');
  SetString(HKEY_CURRENT_USER, std::string(kVictim) + "\\" + longKey, "x", "1");
  SetString(HKEY_CURRENT_USER, kVictim, longValue, "long name");
  SetRaw(HKEY_CURRENT_USER, kVictim, "big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  ASSERT_EQ(1, manager_->DeleteKey("limits", HKEY_CURRENT_USER, kParent, "Victim"));
  ASSERT_EQ(1, manager_->GetCurrentSession().At(0)->Restore());
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, std::string(kVictim) + "\\" + longKey, "x"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictim, longValue));
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "big", type, data));
  EXPECT_TRUE(data == big);
}

// The manager deletes only after the recorded bytes parse back to exactly
// what the registry holds; a change after the snapshot was taken fails that.
TEST_F(SnapshotTest, VerificationSeesChangesSinceTheSnapshot) {
  SetString(HKEY_CURRENT_USER, kVictim, "v", "1");
  SetString(HKEY_CURRENT_USER, std::string(kVictim) + "\\Sub", "w", "2");
  CBackupSession session;
  CRegKeyDeleteAction key(&session, "k", HKEY_CURRENT_USER, kParent, "Victim");
  CRegValueDeleteAction value(&session, "v", HKEY_CURRENT_USER, kVictim, "v");
  ASSERT_EQ(1, key.IsCaptured());
  EXPECT_EQ(1, key.VerifySnapshot());
  EXPECT_EQ(1, value.VerifySnapshot());
  const char* mismatch = "untouched";
  EXPECT_EQ(1, key.VerifySnapshot(&mismatch));
  EXPECT_STREQ("untouched", mismatch) << "only a failure names its check";
  SetString(HKEY_CURRENT_USER, std::string(kVictim) + "\\Sub", "added", "3");
  EXPECT_EQ(0, key.VerifySnapshot(&mismatch));
  EXPECT_STREQ("the snapshot differs from the registry", mismatch);
  EXPECT_EQ(1, value.VerifySnapshot());
  SetString(HKEY_CURRENT_USER, kVictim, "v", "changed");
  EXPECT_EQ(0, value.VerifySnapshot());
  // Gone altogether reads as empty, which differs too.
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CURRENT_USER, kVictim));
  mismatch = nullptr;
  EXPECT_EQ(0, key.VerifySnapshot(&mismatch));
  EXPECT_STREQ("the snapshot differs from the registry", mismatch);
}

TEST_F(SnapshotTest, HeaderRootIgnoresCase) {
  const std::string node = U32(0) + U32(1) + Counted("v") + U32(REG_DWORD) + Counted(std::string("\x2a\0\0\0", 4));
  ASSERT_EQ(1, RestoreSnapshot(ToBytes(Counted("hkcu\\Software\\Lower") + node)));
  ASSERT_EQ(1, RestoreSnapshot(ToBytes(Counted("hKlM\\Software\\Mixed") + node)));
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, "Software\\Lower", "v", type, data));
  EXPECT_EQ(std::string("\x2a\0\0\0", 4), data);
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "Software\\Mixed", "v"));
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(Counted("HKU\\Software\\Other") + node)));
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(Counted("HKCU") + node)));
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(Counted("") + node)));
}

TEST_F(SnapshotTest, DamagedSnapshotWritesNothing) {
  const std::string good =
      Counted("HKCU\\Software\\Bad") + U32(1) + Counted("Sub") + U32(0) + U32(1) + Counted("in") +
      U32(REG_SZ) + Counted("a") + U32(1) + Counted("top") + U32(REG_BINARY) + Counted("xyz");
  ASSERT_EQ(1, RestoreSnapshot(ToBytes(good)));
  ASSERT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\Bad\\Sub", "in"));
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Bad");

  // Every truncation, a trailing byte, an inflated count, an empty subkey
  // name: each is refused before the first registry write.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(0, RestoreSnapshot(ToBytes(good.substr(0, cut)))) << cut;
  }
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(good + "!")));
  std::string inflated = good;
  inflated.replace(4 + 17 + 4 + 4 + 3 + 4, 4, U32(2));  // the sub's value count
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(inflated)));
  const std::string emptyName = Counted("HKCU\\Software\\Bad") + U32(1) + Counted("") + U32(0) + U32(0) +
                                U32(0);
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(emptyName)));
  std::string hugeData = Counted("HKCU\\Software\\Bad") + U32(0) + U32(1) + Counted("v") + U32(REG_SZ) +
                         U32(0xffffffffu) + "abc";
  EXPECT_EQ(0, RestoreSnapshot(ToBytes(hugeData)));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Bad"));
}

TEST_F(SnapshotTest, RestoreMergesIntoWhatIsThere) {
  SetString(HKEY_CURRENT_USER, kVictim, "kept", "old");
  SetString(HKEY_CURRENT_USER, kVictim, "changed", "old");
  ASSERT_EQ(1, manager_->DeleteKey("v", HKEY_CURRENT_USER, kParent, "Victim"));
  SetString(HKEY_CURRENT_USER, kVictim, "changed", "new");
  SetString(HKEY_CURRENT_USER, kVictim, "added", "new");
  CreateKey(HKEY_CURRENT_USER, std::string(kVictim) + "\\AddedKey");
  ASSERT_EQ(1, manager_->GetCurrentSession().At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kVictim, "changed", type, data));
  EXPECT_EQ(std::string("old\0", 4), data);
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictim, "kept"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVictim, "added"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kVictim) + "\\AddedKey"));
}

}  // namespace
