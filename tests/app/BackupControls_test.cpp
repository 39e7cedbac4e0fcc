// The restore panel over a backup manager in a temporary folder: what the
// session box and the list show, ticking and "Select All", both messages of
// "Restore", what a restore writes back and what it leaves in the session,
// and the fate of a fully restored backup file at exit.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>

#include "ToolPanelTest.h"
#include "app/BackupControls.h"
#include "backup/BackupManager.h"
#include "backup/SessionCodec.h"
#include "res/resource.h"

using namespace RegCheck;
using namespace testsupport;
using paneltest::PanelTest;

namespace {

const HKEY kHKCU = HKEY_CURRENT_USER;
constexpr char kKey[] = "Software\\PanelData";

struct Stored {
  DWORD type = 0xdeadbeef;
  std::string data = "sentinel";
};

class BackupControlsTest : public PanelTest {
 protected:
  void TearDown() override {
    panel_.reset();
    PanelTest::TearDown();
  }

  std::string Folder() { return temp_.PathOf("Backup"); }

  void Build() {
    panel_.reset(new CBackupControls);
    host_.onCommand = [this](UINT id) { return panel_->OnCommand(id); };
    ASSERT_TRUE(panel_->Create(host_));
    panel_->Show();
  }

  // Plants a value of `type`, remembers its bytes, and removes it through
  // the backup manager as a fix does.
  void PlantAndRemove(const std::string& name, DWORD type, const std::string& data) {
    SetRaw(kHKCU, kKey, name, type, data.data(), static_cast<DWORD>(data.size()));
    ASSERT_TRUE(ReadRaw(kHKCU, kKey, name, stored_[name].type, stored_[name].data));
    ASSERT_EQ(1, GetBackupManager().DeleteValue("Value " + name, kHKCU, kKey, name));
    ASSERT_FALSE(ValueExists(kHKCU, kKey, name));
  }

  // True when `name` is back exactly as it was planted.
  ::testing::AssertionResult RestoredExactly(const std::string& name) {
    Stored now;
    if (!ReadRaw(kHKCU, kKey, name, now.type, now.data))
      return ::testing::AssertionFailure() << name << " is not back";
    if (now.type != stored_[name].type || now.data != stored_[name].data)
      return ::testing::AssertionFailure() << name << " came back changed";
    return ::testing::AssertionSuccess();
  }

  // Ends this run's manager (saving its session to a file) and starts a new
  // one over the same folder, as the next program start does.
  void Restart() {
    panel_.reset();
    SetBackupManagerForTesting(nullptr);
    manager_.reset();
    manager_.reset(new CBackupManager(Folder()));
    SetBackupManagerForTesting(manager_.get());
  }

  CBackupActionsListBox& List() { return panel_->GetList(); }
  void ClickTickBox(int row) {
    RECT box = List().TickBoxRect(row);
    LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageA(List().GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(List().GetHwnd(), WM_LBUTTONUP, 0, at);
  }
  std::vector<int> Ticks() {
    std::vector<int> ticks;
    for (int i = 0; i < List().GetCount(); ++i) ticks.push_back(List().GetRow(i)->ticked);
    return ticks;
  }
  std::string PressRestore(int answer) {
    return PressAndAnswer(panel_->GetRestoreButton(), "Confirm", answer);
  }
  void PressSelectAll() { SendMessageA(panel_->GetSelectAllButton(), BM_CLICK, 0, 0); }

  std::vector<std::string> BackupFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((Folder() + "\\*.rbk").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
  }

  std::unique_ptr<CBackupControls> panel_;
  std::map<std::string, Stored> stored_;
};

TEST_F(BackupControlsTest, WithNothingBackedUpRestoreAsksForATick) {
  Build();
  ASSERT_EQ(1, panel_->GetSessionBox().GetCount());
  EXPECT_EQ("Current Session (" +
                CBackupControls::FormatSessionTime(GetBackupManager().GetCurrentSession().GetTime()) +
                ")",
            panel_->GetSessionBox().GetItemText(0));
  EXPECT_EQ(0, panel_->GetSessionBox().GetCurSel());
  EXPECT_EQ(0, List().GetCount());
  EXPECT_EQ("You must select at least one backup action!",
            PressAndAnswer(panel_->GetRestoreButton(), "Error", IDOK));
}

TEST_F(BackupControlsTest, SessionTimesReadAsDayMonthYearAndTime) {
  struct tm when = {};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 2;
  when.tm_mday = 5;
  when.tm_hour = 14;
  when.tm_min = 7;
  when.tm_isdst = -1;
  const __time64_t t = _mktime64(&when);
  ASSERT_NE(-1, t);
  EXPECT_EQ("05 Mar 2026, 14:07", CBackupControls::FormatSessionTime(t));
  EXPECT_EQ("", CBackupControls::FormatSessionTime(-1));
}

TEST_F(BackupControlsTest, AFixOfThreeEntriesListsThemSortedUnderTheCurrentSession) {
  PlantAndRemove("gamma", REG_BINARY, std::string("\x00\xff\x01", 3));
  PlantAndRemove("alpha", REG_SZ, std::string("text\0", 5));
  PlantAndRemove("beta", REG_DWORD, std::string("\x04\x03\x02\x01", 4));
  Build();
  EXPECT_EQ((std::vector<std::string>{"Value alpha", "Value beta", "Value gamma"}),
            Lines(List()));
  EXPECT_EQ((std::vector<int>{0, 0, 0}), Ticks());
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(List().GetText(i), List().GetRow(i)->operation->GetDescription());
}

TEST_F(BackupControlsTest, RestoringTwoTickedOfThreeWritesBackExactlyThoseTwo) {
  PlantAndRemove("gamma", REG_BINARY, std::string("\x00\xff\x01", 3));
  PlantAndRemove("alpha", REG_SZ, std::string("text\0", 5));
  PlantAndRemove("beta", REG_DWORD, std::string("\x04\x03\x02\x01", 4));
  Build();

  ClickTickBox(0);
  ClickTickBox(2);
  // A press beside the square is the list's, not a tick.
  RECT text = List().GetItemRect(1);
  SendMessageA(List().GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(text.left + 100, text.top + 12));
  SendMessageA(List().GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(text.left + 100, text.top + 12));
  ASSERT_EQ((std::vector<int>{1, 0, 1}), Ticks());

  EXPECT_EQ("The 2 operation(s) will be restored.\nAre you sure?", PressRestore(IDYES));
  EXPECT_TRUE(RestoredExactly("alpha"));
  EXPECT_TRUE(RestoredExactly("gamma"));
  EXPECT_FALSE(ValueExists(kHKCU, kKey, "beta"));
  EXPECT_EQ((std::vector<std::string>{"Value beta"}), Lines(List()));
  EXPECT_EQ((std::vector<int>{0}), Ticks());
  ASSERT_EQ(1, Session().Count());
  EXPECT_EQ("Value beta", Session().At(0)->GetDescription());
}

TEST_F(BackupControlsTest, AnsweringNoChangesNothingAndKeepsTheTicks) {
  PlantAndRemove("one", REG_SZ, std::string("1\0", 2));
  PlantAndRemove("two", REG_SZ, std::string("2\0", 2));
  Build();
  ClickTickBox(1);
  EXPECT_EQ("The 1 operation(s) will be restored.\nAre you sure?", PressRestore(IDNO));
  EXPECT_EQ((std::vector<int>{0, 1}), Ticks());
  EXPECT_EQ(2, Session().Count());
  EXPECT_FALSE(ValueExists(kHKCU, kKey, "one"));
  EXPECT_FALSE(ValueExists(kHKCU, kKey, "two"));
  // A second press on the square takes the tick away again.
  ClickTickBox(1);
  EXPECT_EQ((std::vector<int>{0, 0}), Ticks());
}

TEST_F(BackupControlsTest, SelectAllThenRestoreAsksAboutEveryRow) {
  for (const char* name : {"v1", "v2", "v3", "v4", "v5"}) PlantAndRemove(name, REG_DWORD, "abcd");
  Build();
  ClickTickBox(3);
  PressSelectAll();
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 1}), Ticks());
  EXPECT_EQ("The 5 operation(s) will be restored.\nAre you sure?", PressRestore(IDNO));
  EXPECT_EQ(5, Session().Count());

  EXPECT_NE("", PressRestore(IDYES));
  for (const char* name : {"v1", "v2", "v3", "v4", "v5"}) EXPECT_TRUE(RestoredExactly(name));
  EXPECT_EQ(0, List().GetCount());
  EXPECT_EQ(0, Session().Count());
}

TEST_F(BackupControlsTest, SwitchingSessionsShowsTheirRowsUnticked) {
  PlantAndRemove("old1", REG_SZ, std::string("o\0", 2));
  PlantAndRemove("old2", REG_SZ, std::string("p\0", 2));
  Restart();
  PlantAndRemove("new1", REG_SZ, std::string("n\0", 2));
  Build();

  ASSERT_EQ(2, panel_->GetSessionBox().GetCount());
  ASSERT_EQ(1u, GetBackupManager().GetSessions().size());
  EXPECT_EQ("Session from " +
                CBackupControls::FormatSessionTime(GetBackupManager().GetSessions()[0]->GetTime()),
            panel_->GetSessionBox().GetItemText(1));
  EXPECT_EQ(GetBackupManager().GetSessions()[0], panel_->GetSession(1));
  EXPECT_EQ(&GetBackupManager().GetCurrentSession(), panel_->GetSession(0));
  EXPECT_EQ((std::vector<std::string>{"Value new1"}), Lines(List()));

  ClickTickBox(0);
  panel_->GetSessionBox().SelectNext();
  EXPECT_EQ((std::vector<std::string>{"Value old1", "Value old2"}), Lines(List()));
  EXPECT_EQ((std::vector<int>{0, 0}), Ticks());
  PressSelectAll();
  panel_->GetSessionBox().SelectPrevious();
  EXPECT_EQ((std::vector<std::string>{"Value new1"}), Lines(List()));
  EXPECT_EQ((std::vector<int>{0}), Ticks());
}

TEST_F(BackupControlsTest, FullyRestoredLoadedSessionLosesItsFileAtExit) {
  PlantAndRemove("a", REG_EXPAND_SZ, std::string("%x%\0", 4));
  PlantAndRemove("b", REG_MULTI_SZ, std::string("x\0y\0\0", 5));
  Restart();
  ASSERT_EQ(1u, BackupFiles().size());
  Build();
  panel_->GetSessionBox().SelectNext();
  PressSelectAll();
  EXPECT_EQ("The 2 operation(s) will be restored.\nAre you sure?", PressRestore(IDYES));
  EXPECT_TRUE(RestoredExactly("a"));
  EXPECT_TRUE(RestoredExactly("b"));
  EXPECT_EQ(0, List().GetCount());
  // The box is not rebuilt by a restore: the emptied session stays in it.
  EXPECT_EQ(2, panel_->GetSessionBox().GetCount());
  EXPECT_EQ(1, panel_->GetSessionBox().GetCurSel());

  panel_.reset();
  SetBackupManagerForTesting(nullptr);
  manager_.reset();
  EXPECT_EQ(0u, BackupFiles().size());
}

// A snapshot that cannot be written back must not cost the user the backup
// of something that is still deleted.
TEST_F(BackupControlsTest, AFailedRestoreKeepsTheOperationAndItsFile) {
  OperationRecord good;
  {
    CBackupManager scratch(temp_.PathOf("Scratch"));
    SetRaw(kHKCU, kKey, "fine", REG_SZ, "ok", 3);
    ASSERT_TRUE(ReadRaw(kHKCU, kKey, "fine", stored_["fine"].type, stored_["fine"].data));
    ASSERT_EQ(1, scratch.DeleteValue("Value fine", kHKCU, kKey, "fine"));
    scratch.GetCurrentSession().At(0)->Write(good);
  }
  OperationRecord broken = good;
  broken.name = "broken";
  broken.description = "Value broken";
  broken.snapshot = Bytes{1, 2, 3};
  SessionPayload payload;
  payload.time = SessionTime{2026, 3, 0, 5, 14, 7, 0, 0};
  payload.operations = {good, broken};
  const std::string file = Folder() + "\\{0BAD0000-0000-0000-0000-000000000000}.rbk";
  {
    CBackupSession session;
    session.Assign(payload);
    ASSERT_EQ(1, session.Save(file));
  }
  Restart();
  Build();
  ASSERT_EQ(2, panel_->GetSessionBox().GetCount());
  EXPECT_EQ("Session from 05 Mar 2026, 14:07", panel_->GetSessionBox().GetItemText(1));
  panel_->GetSessionBox().SelectNext();
  ASSERT_EQ((std::vector<std::string>{"Value broken", "Value fine"}), Lines(List()));
  PressSelectAll();
  {
    // The user hears what failed and why; the row stays, ticked.
    guitest::MessageBoxAnswerer failure("Varnholt", IDOK, 10000);
    EXPECT_NE("", PressRestore(IDYES));
    ASSERT_TRUE(failure.Wait());
    EXPECT_EQ(
        "1 of 2 operation(s) could not be restored; they stay in the backup.\n\n"
        "Value broken: its backup record is damaged",
        failure.Text());
  }

  EXPECT_TRUE(RestoredExactly("fine"));
  EXPECT_FALSE(ValueExists(kHKCU, kKey, "broken"));
  EXPECT_EQ((std::vector<std::string>{"Value broken"}), Lines(List()));
  EXPECT_EQ((std::vector<int>{1}), Ticks());
  ASSERT_EQ(1, GetBackupManager().GetSessions()[0]->Count());

  // At exit the file is rewritten with the one operation still owed.
  panel_.reset();
  SetBackupManagerForTesting(nullptr);
  manager_.reset();
  CBackupSession reloaded;
  ASSERT_EQ(1, reloaded.Load(file));
  ASSERT_EQ(1, reloaded.Count());
  EXPECT_EQ("Value broken", reloaded.At(0)->GetDescription());
}

// "Export..." writes the chosen session through the Save As dialog, which
// is answered as a user would: a file name typed into it, then Save.
TEST_F(BackupControlsTest, ExportWritesTheChosenSessionAsARegFile) {
  Build();
  EXPECT_EQ("The chosen session holds no operations to export.",
            PressAndAnswer(panel_->GetExportButton(), "Export", IDOK));

  PlantAndRemove("exported", REG_SZ, std::string("text\0", 5));
  Build();
  const std::string target = temp_.PathOf("panel.reg");
  std::thread saveAs([&] {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 8000; Sleep(20)) {
      HWND dialog = FindWindowA("#32770", "Export backup as .reg file");
      if (!dialog || !IsWindowVisible(dialog)) continue;
      // The file name box of the Explorer-style dialog (cmb13).
      SetDlgItemTextA(dialog, 0x47C, target.c_str());
      SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      return;
    }
  });
  const std::string said = PressAndAnswer(panel_->GetExportButton(), "Export", IDOK, 10000);
  saveAs.join();
  EXPECT_EQ("1 operation(s) were written to\n" + target +
                "\nImport the file with regedit to put them back.",
            said);
  HANDLE file = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  std::string bytes(4096, '\0');
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  std::string ascii;  // the UTF-16 text's low bytes
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) ascii += bytes[i];
  EXPECT_EQ(0u, ascii.find("Windows Registry Editor Version 5.00\r\n")) << ascii;
  EXPECT_NE(std::string::npos, ascii.find("; 1. Value exported\r\n")) << ascii;
  EXPECT_NE(std::string::npos,
            ascii.find("[HKEY_CURRENT_USER\\Software\\PanelData]\r\n\"exported\"=\"text\"\r\n"))
      << ascii;
}

}  // namespace

// ------------------------------------------------------------ in the program

#include "AppFixture.h"
#include "engine/ScanCategories.h"
#include "support/ProcessRunner.h"
#include "support/gui/PixelCapture.h"

namespace {

class BackupControlsInAppTest : public apptest::AppTest {
 protected:
  CBackupControls& Restore() {
    return dynamic_cast<CBackupControls&>(Work().GetPanel(CWorkArea::kRestore));
  }
  paneltest::BoxLock lock_;
};

// The whole road: a scan finds three dead shared DLL entries, the fix run
// removes them, the restore panel lists them and writes two of them back.
TEST_F(BackupControlsInAppTest, AFixRunIsListedAndTwoTickedOfItAreWrittenBack) {
  SetOption("PromptFix", 0);
  SetOption("UseSound", 0);
  std::vector<std::string> names;
  std::map<std::string, Stored> before;
  for (int i = 0; i < 3; ++i) {
    PlantMissingSharedDll("f" + std::to_string(i) + ".dll");
    names.push_back(temp_.PathOf("gone\\f" + std::to_string(i) + ".dll"));
    ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, apptest::kSharedDlls, names.back(),
                        before[names.back()].type, before[names.back()].data));
  }
  Start();
  TickOnly(kCatSharedDll);
  Click(Panel().GetScanButton());
  ASSERT_EQ(3, Panel().GetResults().Count());
  {
    guitest::MessageBoxAnswerer confirm("Varnholt", IDYES, 10000);
    guitest::MessageBoxAnswerer outcome("Varnholt", IDOK, 10000);
    Click(Panel().GetFixButton());
    ASSERT_TRUE(outcome.Wait());
  }
  ASSERT_EQ(3, manager_->GetCurrentSession().Count());

  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_RESTORE, 0);
  ASSERT_EQ(CWorkArea::kRestore, Work().GetPanelIndex());
  CBackupActionsListBox& list = Restore().GetList();
  std::vector<std::string> rows;
  for (int i = 0; i < list.GetCount(); ++i) rows.push_back(list.GetText(i));
  EXPECT_EQ((std::vector<std::string>{"Shared DLL entry " + names[0], "Shared DLL entry " + names[1],
                                      "Shared DLL entry " + names[2]}),
            rows);
  EXPECT_EQ(0, Restore().GetSessionBox().GetItemText(0).rfind("Current Session (", 0));

  for (int row : {0, 2}) {
    RECT box = list.TickBoxRect(row);
    LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageA(list.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list.GetHwnd(), WM_LBUTTONUP, 0, at);
  }

  HWND frame = Frame().GetHwnd();
  SetWindowPos(frame, HWND_TOPMOST, 200, 150, 0, 0, SWP_NOSIZE);
  guitest::PumpFor(300);
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(guitest::CaptureWindow(frame, false, pixels, width, height));
  CreateDirectoryA(testsupport::BuildTreeFile("screenshots").c_str(), nullptr);
  EXPECT_TRUE(guitest::WritePng(testsupport::BuildTreeFile("screenshots\\restore.png"), pixels,
                                width, height));

  {
    guitest::MessageBoxAnswerer confirm("Confirm", IDYES, 10000);
    Click(Restore().GetRestoreButton());
    ASSERT_TRUE(confirm.Wait());
    EXPECT_EQ("The 2 operation(s) will be restored.\nAre you sure?", confirm.Text());
  }
  for (int i : {0, 2}) {
    Stored now;
    ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, apptest::kSharedDlls, names[i], now.type, now.data));
    EXPECT_EQ(before[names[i]].type, now.type);
    EXPECT_EQ(before[names[i]].data, now.data);
  }
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, apptest::kSharedDlls, names[1]));
  ASSERT_EQ(1, list.GetCount());
  EXPECT_EQ("Shared DLL entry " + names[1], list.GetText(0));
  EXPECT_EQ(0, list.GetRow(0)->ticked);
}

}  // namespace
