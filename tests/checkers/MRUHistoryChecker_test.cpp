// File dialog and recent document lists over sandboxed keys, with real
// shortcut files made by the shell's link object in a stand-in Recent
// folder: record parsing, the shortcut chain and the fixes.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "checkers/MRUHistoryChecker.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const std::string kOpenSaveMru =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const std::string kRecentDocs = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const HKEY kCU = HKEY_CURRENT_USER;

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                              static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(n));
  return wide;
}

// A shortcut saved by the shell's own link object.
bool MakeShortcut(const std::string& shortcut, const std::string& target) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  bool saved = SUCCEEDED(link->SetPath(target.c_str())) &&
               SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  if (saved) {
    saved = SUCCEEDED(file->Save(Wide(shortcut).c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved && GetFileAttributesA(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A "RecentDocs" record: UTF-16 display name, 14 bytes of shell item, the
// ANSI shortcut name, then `tail`.
std::string Record(const std::string& display, const std::string& shortcut,
                   const std::string& tail = std::string(6, '\x01')) {
  std::wstring wide = Wide(display);
  std::string record(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * 2);
  return record + std::string(14, '\xbd') + shortcut + '\0' + tail;
}

void SetRecord(const std::string& key, const std::string& name, const std::string& record,
               DWORD type = REG_BINARY) {
  SetRaw(kCU, key, name, type, record.data(), static_cast<DWORD>(record.size()));
}

std::string ParseRecord(const std::string& record) {
  return CMRUHistoryChecker::ShortcutNameFromRecord(reinterpret_cast<const BYTE*>(record.data()),
                                                    static_cast<DWORD>(record.size()));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class MRUHistoryCheckerTest : public BackupSandboxTest {
 protected:
  enum Shortcut { kNoShortcut, kLiveShortcut, kDeadShortcut };

  void SetUp() override {
    BackupSandboxTest::SetUp();
    recent_ = temp_.MakeDir("Recent");
    CMRUHistoryChecker::SetRecentFolderForTesting(recent_);
  }
  void TearDown() override {
    CMRUHistoryChecker::SetRecentFolderForTesting("");
    BackupSandboxTest::TearDown();
  }

  // One line per finding: kind, key or file path below the test's roots,
  // value name, subject and shortcut-exists flag.
  std::vector<std::string> Scan() {
    results_.Clear();
    CMRUHistoryChecker().Scan(context_, results_);
    std::vector<std::string> lines;
    for (CRegistryAction* action : results_) {
      auto* entry = static_cast<CMRUHistoryAction*>(action);
      EXPECT_EQ(kCatHistory, action->GetCategory());
      lines.push_back(std::to_string(entry->GetKind()) + "|" + Short(entry->GetPath()) + "|" +
                      entry->GetValueName() + "|" + Short(entry->GetSubject()) + "|" +
                      std::to_string(entry->GetShortcutExists()));
    }
    return lines;
  }
  std::string Short(std::string text) {
    for (const std::string& prefix : {kOpenSaveMru, kRecentDocs, temp_.Path()})
      if (text.compare(0, prefix.size(), prefix) == 0) return "~" + text.substr(prefix.size());
    return text;
  }
  std::string Text(int index, bool location) {
    std::string text;
    CRegistryAction* action = results_.At(index);
    EXPECT_EQ(1, location ? action->GetLocation(text) : action->GetDescription(text));
    return text;
  }

  // A document under Docs, its record in `key` and, as asked, its shortcut
  // in the Recent folder (dead once the document is deleted).
  void AddRecentDoc(const std::string& key, const std::string& valueName, const std::string& doc,
                    Shortcut shortcut) {
    std::string target = temp_.MakeFile("Docs\\" + doc);
    if (shortcut != kNoShortcut) {
      ASSERT_TRUE(MakeShortcut(recent_ + "\\" + doc + ".lnk", target));
    }
    if (shortcut != kLiveShortcut) {
      ASSERT_TRUE(DeleteFileA(target.c_str()));
    }
    SetRecord(key, valueName, Record(doc, doc + ".lnk"));
  }

  std::string recent_;
  CActionList results_;
};

TEST_F(MRUHistoryCheckerTest, FileDialogEntries) {
  const std::string txt = kOpenSaveMru + "\\txt";
  SetString(kCU, txt, "MRUList", "cba");  // list order letters, no path
  SetString(kCU, txt, "a", temp_.MakeFile("Docs\\kept.txt"));
  SetString(kCU, txt, "b", temp_.PathOf("Docs\\gone.txt"));
  SetString(kCU, txt, "c", "\\\\nohost\\share\\gone.txt");
  SetString(kCU, txt, "d", temp_.PathOf("Docs\\gone.txt"), REG_EXPAND_SZ);
  SetRaw(kCU, txt, "e", REG_BINARY, "C:\\gone", 8);
  SetString(kCU, txt, "long", "C:\\" + std::string(300, 'x'));
  SetString(kCU, kOpenSaveMru + "\\*", "mrulist", "ab");
  SetString(kCU, kOpenSaveMru + "\\doc", "MRULIST", "ab");
  SetString(kCU, kOpenSaveMru, "top", temp_.PathOf("Docs\\top.txt"));
  SetString(kCU, kOpenSaveMru + "\\doc\\deeper", "z", temp_.PathOf("Docs\\z.doc"));

  std::vector<std::string> found = Scan();
  EXPECT_EQ((std::vector<std::string>{"0|~|top|~\\Docs\\top.txt|0", "0|~\\doc\\deeper|z|~\\Docs\\z.doc|0",
                                      "0|~\\txt|b|~\\Docs\\gone.txt|0", "0|~\\txt|long||0"}),
            found);
  ASSERT_EQ(4u, found.size());
  EXPECT_EQ("Path " + temp_.PathOf("Docs\\gone.txt") + " no longer exist", Text(2, false));
  EXPECT_EQ("HKCU\\" + txt + " (VALUE:b)", Text(2, true));
}

TEST_F(MRUHistoryCheckerTest, MissingShortcutGivesOneActionDeadShortcutTwo) {
  AddRecentDoc(kRecentDocs, "0", "live.txt", kLiveShortcut);
  AddRecentDoc(kRecentDocs, "1", "missing.txt", kNoShortcut);
  AddRecentDoc(kRecentDocs, "2", "dead.txt", kDeadShortcut);
  AddRecentDoc(kRecentDocs + "\\.txt", "0", "sub.txt", kNoShortcut);
  AddRecentDoc(kRecentDocs + "\\Folder\\deep", "0", "deep.txt", kNoShortcut);

  EXPECT_EQ((std::vector<std::string>{"1|~|1|missing.txt.lnk|0", "1|~|2|dead.txt.lnk|1",
                                      "2|~\\Recent\\dead.txt.lnk||dead.txt.lnk|1",
                                      "1|~\\.txt|0|sub.txt.lnk|0", "1|~\\Folder\\deep|0|deep.txt.lnk|0"}),
            Scan());
  ASSERT_EQ(5, results_.Count());
  EXPECT_EQ("Reference to unexisting file: missing.txt.lnk", Text(0, false));
  EXPECT_EQ("HKCU\\" + kRecentDocs + " (VALUE:1)", Text(0, true));
  EXPECT_EQ("Reference to obsolete .lnk file: dead.txt.lnk", Text(1, false));
  EXPECT_EQ("Obsolete lnk file: dead.txt.lnk", Text(2, false));
  EXPECT_EQ(recent_ + "\\dead.txt.lnk", Text(2, true));
}

TEST_F(MRUHistoryCheckerTest, ValuesThatAreNotExamined) {
  // Names holding the list-order or view-state markers, case-sensitively
  // ("mrulist0" is examined), and values that are not binary.
  for (const char* name : {"MRUListEx", "ViewStream", "xMRUList2", "AViewStreamB", "mrulist0"})
    AddRecentDoc(kRecentDocs, name, std::string(name) + ".txt", kNoShortcut);
  SetRecord(kRecentDocs, "none", Record("typed.txt", "typed.txt.lnk"), REG_NONE);
  // Records without a usable shortcut name.
  SetRecord(kRecentDocs, "mismatch", Record("alpha.txt", "beta.txt.lnk"));
  SetRecord(kRecentDocs, "network", Record("\\\\host\\doc.txt", "\\\\host\\doc.txt.lnk"));
  SetRecord(kRecentDocs, "empty", Record("", ""));
  SetRecord(kRecentDocs, "truncated", Record("cut.txt", "cut.txt.lnk").substr(0, 30));
  SetRecord(kRecentDocs, "zero", std::string());

  EXPECT_EQ((std::vector<std::string>{"1|~|mrulist0|mrulist0.txt.lnk|0"}), Scan());

  // Without a Recent folder no shortcut can be looked for.
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(kCU, kRecentDocs.c_str(), 0, KEY_READ, &key));
  std::vector<BYTE> data(1024);
  DWORD size = static_cast<DWORD>(data.size());
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "mrulist0", nullptr, nullptr, data.data(), &size));
  RegCloseKey(key);
  std::string name;
  bool exists = true;
  EXPECT_TRUE(CMRUHistoryChecker::CheckRecentDocValue(context_, "", "mrulist0", data.data(), size, name, exists));
  EXPECT_EQ("mrulist0.txt.lnk", name);
}

TEST_F(MRUHistoryCheckerTest, RecordParsingStaysInsideTheValue) {
  const std::string record = Record("doc.txt", "doc.txt.lnk", "");
  // Zero bytes after each cut would end the name if the parser read past it.
  std::vector<BYTE> buffer(record.begin(), record.end());
  buffer.resize(record.size() + 64, 0);
  for (size_t size = 0; size <= record.size(); ++size)
    EXPECT_EQ(size == record.size() ? "doc.txt.lnk" : "",
              CMRUHistoryChecker::ShortcutNameFromRecord(buffer.data(), static_cast<DWORD>(size)))
        << "size " << size;
  EXPECT_EQ("", ParseRecord(std::string(600, 'a')));

  // Display names up to 261 characters, shortcut names up to 263 bytes.
  EXPECT_EQ("a.lnk", ParseRecord(Record(std::string(261, 'a'), "a.lnk")));
  EXPECT_EQ("", ParseRecord(Record(std::string(262, 'a'), "a.lnk")));
  const std::string longest = std::string(259, 'a') + ".lnk";
  EXPECT_EQ(longest, ParseRecord(Record("a", longest)));
  EXPECT_EQ("", ParseRecord(Record("a", "a" + longest)));
}

TEST_F(MRUHistoryCheckerTest, ShortcutTargets) {
  const std::string gone = temp_.MakeFile("Docs\\gone.txt");
  ASSERT_TRUE(MakeShortcut(recent_ + "\\live.lnk", temp_.MakeFile("Docs\\t.txt")));
  ASSERT_TRUE(MakeShortcut(recent_ + "\\folder.lnk", temp_.MakeDir("Docs\\folder")));
  ASSERT_TRUE(MakeShortcut(recent_ + "\\unc.lnk", "\\\\nohost\\share\\gone.txt"));
  ASSERT_TRUE(MakeShortcut(recent_ + "\\dead.lnk", gone));
  ASSERT_TRUE(DeleteFileA(gone.c_str()));

  EXPECT_TRUE(CMRUHistoryChecker::CheckShortcutTarget(context_, recent_ + "\\live.lnk"));
  EXPECT_TRUE(CMRUHistoryChecker::CheckShortcutTarget(context_, recent_ + "\\folder.lnk"));
  EXPECT_TRUE(CMRUHistoryChecker::CheckShortcutTarget(context_, recent_ + "\\unc.lnk"));
  EXPECT_FALSE(CMRUHistoryChecker::CheckShortcutTarget(context_, recent_ + "\\dead.lnk"));
  EXPECT_FALSE(CMRUHistoryChecker::CheckShortcutTarget(context_, temp_.MakeFile("Recent\\junk.lnk", "junk")));
  EXPECT_FALSE(CMRUHistoryChecker::CheckShortcutTarget(context_, recent_ + "\\none.lnk"));
}

TEST_F(MRUHistoryCheckerTest, ShortcutFileFixDeletesOnlyThatFile) {
  AddRecentDoc(kRecentDocs, "0", "dead.txt", kDeadShortcut);
  AddRecentDoc(kRecentDocs, "1", "live.txt", kLiveShortcut);
  AddRecentDoc(kRecentDocs, "2", "locked.txt", kDeadShortcut);
  const std::string bystander = temp_.MakeFile("Recent\\dead.txt.lnk.bak");
  const std::string locked = recent_ + "\\locked.txt.lnk";
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));

  ASSERT_EQ(4u, Scan().size());
  EXPECT_EQ(1, results_.At(1)->Fix());
  EXPECT_FALSE(Exists(recent_ + "\\dead.txt.lnk"));
  EXPECT_TRUE(Exists(recent_ + "\\live.txt.lnk"));
  EXPECT_TRUE(Exists(bystander));
  EXPECT_TRUE(ValueExists(kCU, kRecentDocs, "0"));
  // Still gone on a second fix: done. A file that stays is a failed fix.
  EXPECT_EQ(1, results_.At(1)->Fix());
  EXPECT_EQ(0, results_.At(3)->Fix());
  EXPECT_TRUE(Exists(locked));
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(MRUHistoryCheckerTest, ShortcutNamesNeverLeaveTheRecentFolder) {
  // Dead shortcuts outside the Recent folder, named by records that try to
  // reach them with parent steps, separators and a full path.
  const std::string gone = temp_.MakeFile("Docs\\gone.txt");
  const std::string outside = temp_.PathOf("outside.lnk");
  const std::string inner = temp_.PathOf("Recent\\sub\\inner.lnk");
  temp_.MakeDir("Recent\\sub");
  ASSERT_TRUE(MakeShortcut(outside, gone));
  ASSERT_TRUE(MakeShortcut(inner, gone));
  ASSERT_TRUE(DeleteFileA(gone.c_str()));
  for (const std::string& name : {std::string("..\\outside.lnk"), std::string("../outside.lnk"),
                                  std::string("sub\\inner.lnk"), outside})
    SetRecord(kRecentDocs, name.substr(0, 4), Record(name, name));
  EXPECT_TRUE(Scan().empty());

  for (const char* name : {"..\\outside.lnk", "../x.lnk", "sub\\inner.lnk", "C:x.lnk", "a..lnk", ""})
    EXPECT_FALSE(CMRUHistoryChecker::IsPlainFileName(name)) << name;
  EXPECT_TRUE(CMRUHistoryChecker::IsPlainFileName("report .txt.lnk"));

  // Actions aimed elsewhere by hand are refused too.
  CMRUHistoryAction escape(recent_ + "\\..\\outside.lnk", "", "..\\outside.lnk",
                           CMRUHistoryAction::kShortcutFile, 1);
  CMRUHistoryAction wrongFolder(outside, "", "outside.lnk", CMRUHistoryAction::kShortcutFile, 1);
  CMRUHistoryAction nested(inner, "", "inner.lnk", CMRUHistoryAction::kShortcutFile, 1);
  EXPECT_EQ(0, escape.Fix());
  EXPECT_EQ(0, wrongFolder.Fix());
  EXPECT_EQ(0, nested.Fix());
  EXPECT_TRUE(Exists(outside));
  EXPECT_TRUE(Exists(inner));
}

TEST_F(MRUHistoryCheckerTest, ScanOnTheCoordinatorThread) {
  // The worker thread gets COM from the checker itself.
  AddRecentDoc(kRecentDocs, "0", "dead.txt", kDeadShortcut);
  CScanCoordinator& coordinator = GetScanCoordinator();
  coordinator.SetCategories(kCatHistory);
  coordinator.Start(&results_);
  coordinator.WaitDone();
  ASSERT_EQ(2, results_.Count());
  EXPECT_EQ(CMRUHistoryAction::kShortcutFile, static_cast<CMRUHistoryAction*>(results_.At(1))->GetKind());
}

class MRUHistoryFixTest : public MRUHistoryCheckerTest {
 protected:
  std::string Raw(const std::string& key, const std::string& name) {
    DWORD type = 0;
    std::string data;
    return ReadRaw(kCU, key, name, type, data) ? std::to_string(type) + ":" + data : "-";
  }

};

TEST_F(MRUHistoryFixTest, FixRemovesExactlyItsEntryAndRestores) {
  const std::string txt = kOpenSaveMru + "\\txt";
  const std::string gone = temp_.PathOf("Docs\\gone.txt");
  SetString(kCU, txt, "MRUList", "ba");
  SetString(kCU, txt, "a", temp_.MakeFile("Docs\\kept.txt"));
  SetString(kCU, txt, "b", gone);
  AddRecentDoc(kRecentDocs, "0", "missing.txt", kNoShortcut);
  AddRecentDoc(kRecentDocs, "1", "dead.txt", kDeadShortcut);
  AddRecentDoc(kRecentDocs, "2", "live.txt", kLiveShortcut);
  const std::string before[] = {Raw(txt, "b"), Raw(kRecentDocs, "0"), Raw(kRecentDocs, "1")};

  ASSERT_EQ(4u, Scan().size());
  for (CRegistryAction* action : results_) EXPECT_EQ(1, action->Fix());
  EXPECT_EQ("-", Raw(txt, "b"));
  EXPECT_EQ("-", Raw(kRecentDocs, "0"));
  EXPECT_EQ("-", Raw(kRecentDocs, "1"));
  EXPECT_NE("-", Raw(txt, "a"));
  EXPECT_NE("-", Raw(txt, "MRUList"));
  EXPECT_NE("-", Raw(kRecentDocs, "2"));
  EXPECT_FALSE(Exists(recent_ + "\\dead.txt.lnk"));
  EXPECT_TRUE(Exists(recent_ + "\\live.txt.lnk"));

  // The shortcut file goes without backup: three values are recorded.
  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(3, session.Count());
  EXPECT_EQ("MRU entry " + gone, session.At(0)->GetDescription());
  EXPECT_EQ("MRU Documents entry missing.txt.lnk", session.At(1)->GetDescription());
  EXPECT_EQ("MRU Documents entry dead.txt.lnk", session.At(2)->GetDescription());
  for (IRegistryOperation* operation : session) EXPECT_EQ(1, operation->Restore());
  EXPECT_EQ(before[0], Raw(txt, "b"));
  EXPECT_EQ(before[1], Raw(kRecentDocs, "0"));
  EXPECT_EQ(before[2], Raw(kRecentDocs, "1"));
}

// The real registry and Recent folder of the machine, no sandbox: prints
// every finding and checks that each names a value or file that is really
// there. Run by hand with --gtest_also_run_disabled_tests.
TEST(MRUHistoryCheckerRealRegistry, DISABLED_PrintFindings) {
  printf("Recent folder: %s\n", CMRUHistoryChecker::RecentFolder().c_str());
  CScanContext context;
  CActionList results;
  CMRUHistoryChecker().Scan(context, results);
  for (CRegistryAction* action : results) {
    auto* entry = static_cast<CMRUHistoryAction*>(action);
    std::string description, location;
    action->GetDescription(description);
    action->GetLocation(location);
    printf("kind %d | %s | %s\n", entry->GetKind(), description.c_str(), location.c_str());
    if (entry->GetKind() == CMRUHistoryAction::kShortcutFile) {
      EXPECT_TRUE(Exists(entry->GetPath()));
    } else {
      EXPECT_TRUE(ValueExists(kCU, entry->GetPath(), entry->GetValueName()));
    }
  }
  printf("%d MRU and history findings\n", results.Count());
}

}  // namespace
