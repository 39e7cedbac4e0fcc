// The program from the keyboard alone: real key presses (SendInput) go
// through the program's own message handling, as a user's would. The scan
// panel, the details dialog, the restore panel's session box and list, and
// the tool lists with their buttons.

#include "AppFixture.h"
#include "KeyInput.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "app/BackupControls.h"
#include "app/DetailsDlg.h"
#include "app/DetailsListControl.h"
#include "app/ToolPanel.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tools/StartupEntry.h"

using namespace apptest;
using namespace keytest;
using namespace RegCheck;

namespace {

class KeyboardTest : public AppTest {
 protected:
  void StartActive() {
    SetOption("UseSound", 0);
    Start();
    ASSERT_NO_FATAL_FAILURE();
    HWND frame = Frame().GetHwnd();
    Frame().ShowWindow(SW_SHOW);
    SetForegroundWindow(frame);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == frame; }));
    // The keyboard starts on the category list.
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == List().GetHwnd(); }));
  }

  // Pumps as the program's loop does (keyboard navigation included) until
  // `done` or the time runs out.
  bool PumpUntil(const std::function<bool()>& done, DWORD ms = 2000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > ms) return false;
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (fw::CWinApp::PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

  // Presses Tab (or Shift+Tab) and waits for the focus to move.
  HWND Tab(bool back = false) {
    HWND before = GetFocus();
    SendKey(VK_TAB, back);
    PumpUntil([&] { return GetFocus() != before; });
    return GetFocus();
  }

  // Tabs until `target` has the focus; false after a whole round without.
  bool TabTo(HWND target) {
    for (int i = 0; i < 60 && GetFocus() != target; ++i) Tab();
    return GetFocus() == target;
  }

  // Presses `vk` and pumps until `done`.
  bool Press(WORD vk, const std::function<bool()>& done, DWORD ms = 2000) {
    SendKey(vk);
    return PumpUntil(done, ms);
  }

  // Tabs to the frame's button `id` and presses it with Space, which shows
  // its panel.
  bool OpenPanel(UINT id, int panel) {
    HWND button = GetDlgItem(Frame().GetHwnd(), static_cast<int>(id));
    if (!TabTo(button)) return false;
    return Press(VK_SPACE, [&] { return Work().GetPanelIndex() == panel; });
  }
};

TEST_F(KeyboardTest, TabAndShiftTabWalkTheVisibleControlsBothWays) {
  StartActive();
  const HWND first = GetFocus();
  ASSERT_NE(nullptr, first);
  std::vector<HWND> forward{first};
  for (int i = 0; i < 60; ++i) {
    HWND next = Tab();
    if (next == first) break;
    ASSERT_TRUE(std::find(forward.begin(), forward.end(), next) == forward.end())
        << "the focus went round without coming back to the start";
    forward.push_back(next);
  }
  ASSERT_EQ(first, GetFocus()) << "Tab never came back round";
  for (HWND hwnd : forward) {
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsChild(Frame().GetHwnd(), hwnd));
  }
  auto has = [&](HWND hwnd) {
    return std::find(forward.begin(), forward.end(), hwnd) != forward.end();
  };
  EXPECT_TRUE(has(List().GetHwnd()));
  EXPECT_TRUE(has(Panel().GetScanButton()));
  EXPECT_GE(forward.size(), 9u) << "the seven panel buttons, the list and Scan NOW!";
  // Shift+Tab retraces the same ring backwards.
  for (size_t i = forward.size(); i-- > 0;) EXPECT_EQ(forward[i], Tab(true));
}

TEST_F(KeyboardTest, ArrowsAndSpaceTickRowsAndScanAndFixRunFromKeys) {
  PlantMissingSharedDll("k.dll");
  StartActive();
  ASSERT_TRUE(TabTo(List().GetHwnd()));
  ASSERT_TRUE(Press(VK_HOME, [&] { return List().GetFocusRow() == 0; }));
  for (int row = 0; row < CCleanListControl::kRowCount; ++row) {
    const bool want = CCleanListControl::CategoryOfRow(row) == kCatSharedDll;
    if ((List().GetRow(row)->ticked != 0) != want) {
      ASSERT_TRUE(Press(VK_SPACE, [&] { return (List().GetRow(row)->ticked != 0) == want; }))
          << "row " << row;
    }
    if (row + 1 < CCleanListControl::kRowCount) {
      ASSERT_TRUE(Press(VK_DOWN, [&] { return List().GetFocusRow() == row + 1; }));
    }
  }
  EXPECT_EQ(kCatSharedDll, Panel().GetSelectedCategories());
  // Up leaves the last row; End goes back to it.
  ASSERT_TRUE(Press(VK_UP, [&] { return List().GetFocusRow() == 8; }));
  ASSERT_TRUE(Press(VK_END, [&] { return List().GetFocusRow() == 9; }));

  // Space on "Scan NOW!", then Enter answers the fix prompt (Yes is the
  // default) and the outcome.
  ASSERT_TRUE(TabTo(Panel().GetScanButton()));
  KeyAnswerer enter(VK_RETURN, 2);
  SendKey(VK_SPACE);
  PumpUntil([&] { return ReadSetting("regCLS", 0) == 1; }, 30000);
  ASSERT_EQ(2, enter.Wait());
  EXPECT_EQ("1 errors were found. Do you want to fix all these errors now?", enter.texts_[0]);
  EXPECT_EQ("1 of 1 errors were fixed succesfully.", enter.texts_[1]);
  EXPECT_EQ("No Errors", Status(kCatSharedDll));
}


// ---------------------------------------------------------------- details

TEST_F(KeyboardTest, DetailsListShowsItsRowMovesTicksAndAnswersEscAndEnter) {
  SetOption("PromptFix", 0);
  for (const char* name : {"a.dll", "b.dll", "c.dll"}) PlantMissingSharedDll(name);
  StartActive();
  TickOnly(kCatSharedDll);
  Click(Panel().GetScanButton());
  ASSERT_EQ(3, Panel().GetResults().Count());
  int sharedRow = 0;
  while (CCleanListControl::CategoryOfRow(sharedRow) != kCatSharedDll) ++sharedRow;
  ASSERT_TRUE(TabTo(List().GetHwnd()));
  ASSERT_TRUE(Press(VK_HOME, [&] { return List().GetFocusRow() == 0; }));
  for (int row = 0; row < sharedRow; ++row)
    ASSERT_TRUE(Press(VK_DOWN, [&] { return List().GetFocusRow() == row + 1; }));

  // Esc: the list has the focus from the start, its selected row shows
  // grey, End/Home/Down move it, Space flips the row's tick, Tab leaves the
  // list and Shift+Tab comes back.
  RegCheck::CRegistryAction* flipped = nullptr;
  {
    ModalKeys keys(CDetailsDlg::kListId, [&](HWND dialog, std::vector<std::string>& problems) {
      HWND list = GetDlgItem(dialog, CDetailsDlg::kListId);
      Expect(WaitFor([&] { return FocusOf(dialog) == list; }), "the list has no focus", problems);
      Expect(CurSel(list) == 0, "the first row is not selected", problems);
      Expect(WaitFor([&] { return RowColour(list, 0) == CDetailsListControl::kSelectedColour; }),
             "the selected row is not drawn grey", problems);
      Expect(RowColour(list, 1) == RGB(255, 255, 255), "an unselected row is not white", problems);
      SendKey(VK_END);
      Expect(WaitFor([&] { return CurSel(list) == 2; }), "End did not reach the last row", problems);
      SendKey(VK_HOME);
      Expect(WaitFor([&] { return CurSel(list) == 0; }), "Home did not reach the first row", problems);
      SendKey(VK_DOWN);
      Expect(WaitFor([&] { return CurSel(list) == 1; }), "Down did not move", problems);
      flipped = reinterpret_cast<RegCheck::CRegistryAction*>(
          SendMessageA(list, LB_GETITEMDATA, 1, 0));
      const bool before = flipped->IsSelected() != 0;
      SendKey(VK_SPACE);
      Expect(WaitFor([&] { return (flipped->IsSelected() != 0) != before; }),
             "Space did not flip the tick", problems);
      SendKey(VK_TAB);
      Expect(WaitFor([&] { return FocusOf(dialog) != list && FocusOf(dialog) != nullptr; }),
             "Tab did not leave the list", problems);
      SendKey(VK_TAB, true);
      Expect(WaitFor([&] { return FocusOf(dialog) == list; }), "Shift+Tab did not come back",
             problems);
      SendKey(VK_ESCAPE);
    });
    ASSERT_TRUE(Press(VK_RETURN, [&] { return keys.Done(); }, 20000)) << "Enter opened no details";
    EXPECT_EQ("", keys.Problems());
  }
  ASSERT_NE(nullptr, flipped);
  EXPECT_EQ(0, flipped->IsSelected()) << "closing with Esc undid the change";
  EXPECT_EQ(List().GetHwnd(), GetFocus()) << "the focus did not come back to the list";
  EXPECT_EQ(2, Panel().GetResults().SelectedCount());

  // Enter answers the dialog as OK.
  {
    ModalKeys keys(CDetailsDlg::kListId, [&](HWND dialog, std::vector<std::string>& problems) {
      HWND list = GetDlgItem(dialog, CDetailsDlg::kListId);
      Expect(WaitFor([&] { return FocusOf(dialog) == list; }), "the list has no focus", problems);
      SendKey(VK_DOWN);
      Expect(WaitFor([&] { return CurSel(list) == 1; }), "Down did not move", problems);
      SendKey(VK_SPACE);
      Expect(WaitFor([&] { return flipped->IsSelected() != 0; }), "Space did not tick", problems);
      SendKey(VK_RETURN);
    });
    ASSERT_TRUE(Press(VK_RETURN, [&] { return keys.Done(); }, 20000)) << "Enter opened no details";
    EXPECT_EQ("", keys.Problems());
  }
  EXPECT_EQ(3, Panel().GetResults().SelectedCount());
}

// ---------------------------------------------------------------- progress

TEST_F(KeyboardTest, EscInTheProgressDialogCancelsTheScan) {
  // Enough stale values that the scan is still running when Esc arrives;
  // planted through one open key, which is quick.
  constexpr int kMany = 30000;
  {
    RegKey dlls;
    ASSERT_EQ(ERROR_SUCCESS, dlls.Create(HKEY_LOCAL_MACHINE, kSharedDlls));
    for (int i = 0; i < kMany; ++i)
      dlls.SetDWORDValue(temp_.PathOf("gone\\many" + std::to_string(i) + ".dll").c_str(), 1);
  }
  StartActive();
  TickOnly(kCatSharedDll);
  ASSERT_TRUE(TabTo(Panel().GetScanButton()));
  ModalKeys keys(IDC_PROGRESS_CANCEL, [](HWND, std::vector<std::string>& problems) {
    Expect(WaitFor([] { return GetScanCoordinator().IsRunning() != 0; }), "no scan runs", problems);
    SendKey(VK_ESCAPE);
  });
  KeyAnswerer enter(VK_RETURN, 1);
  SendKey(VK_SPACE);
  PumpUntil([&] { return keys.Done() && !GetScanCoordinator().IsRunning(); }, 60000);
  EXPECT_EQ("", keys.Problems());
  ASSERT_EQ(1, enter.Wait());
  EXPECT_EQ(
      "Scanning process was cancelled by user.\nNot all errors were found.\nWe recommend to "
      "rescan registry to find all errors.",
      enter.texts_[0]);
  EXPECT_LT(Panel().GetResults().Count(), kMany);
}

// ---------------------------------------------------------------- restore

TEST_F(KeyboardTest, RestorePanelSessionBoxListAndRestoreButtonFromKeys) {
  // A deletion recorded by an earlier run: its session is loaded from its
  // file and comes second in the box, after this run's empty one.
  const char kKey[] = "Software\\KeyboardRestore";
  testsupport::SetString(HKEY_CURRENT_USER, kKey, "Gone", "was here");
  DWORD plantedType = 0;
  std::string planted;
  ASSERT_TRUE(testsupport::ReadRaw(HKEY_CURRENT_USER, kKey, "Gone", plantedType, planted));
  ASSERT_EQ(1, manager_->DeleteValue("Value Gone", HKEY_CURRENT_USER, kKey, "Gone"));
  // The old manager writes its session file as it goes, before the new
  // one reads the folder.
  RegCheck::SetBackupManagerForTesting(nullptr);
  manager_.reset();
  manager_.reset(new RegCheck::CBackupManager(temp_.PathOf("Backup")));
  RegCheck::SetBackupManagerForTesting(manager_.get());
  ASSERT_EQ(1u, manager_->GetSessions().size());
  ASSERT_FALSE(testsupport::ValueExists(HKEY_CURRENT_USER, kKey, "Gone"));

  StartActive();
  ASSERT_TRUE(OpenPanel(IDC_PANEL_RESTORE, CWorkArea::kRestore));
  auto& panel = dynamic_cast<CBackupControls&>(Work().GetPanel(CWorkArea::kRestore));
  exmfc::CSkinComboBox& box = panel.GetSessionBox();
  CBackupActionsListBox& list = panel.GetList();
  ASSERT_EQ(2, box.GetCount());
  ASSERT_EQ(0, box.GetCurSel());
  ASSERT_EQ(0, list.GetCount());

  // The arrows change the session at once and the list follows.
  ASSERT_TRUE(TabTo(box.GetHwnd())) << "Tab never reached the session box";
  ASSERT_TRUE(Press(VK_DOWN, [&] { return box.GetCurSel() == 1 && list.GetCount() == 1; }));
  SendKey(VK_DOWN);
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(1, box.GetCurSel()) << "Down went past the last session";
  ASSERT_TRUE(Press(VK_UP, [&] { return box.GetCurSel() == 0 && list.GetCount() == 0; }));
  ASSERT_TRUE(Press(VK_END, [&] { return box.GetCurSel() == 1 && list.GetCount() == 1; }));

  // The list: its first row selected and drawn grey, Space ticks it.
  ASSERT_TRUE(TabTo(list.GetHwnd())) << "Tab never reached the restore list";
  EXPECT_EQ(0, list.GetCurSel());
  PumpUntil([&] { return false; }, 100);
  EXPECT_EQ(CBackupActionsListBox::kSelectedColour, RowColour(list.GetHwnd(), 0));
  ASSERT_TRUE(Press(VK_SPACE, [&] { return list.TickedCount() == 1; }));
  ASSERT_TRUE(Press(VK_SPACE, [&] { return list.TickedCount() == 0; }));
  ASSERT_TRUE(Press(VK_SPACE, [&] { return list.TickedCount() == 1; }));

  // Space on "Restore", Enter answers Yes to the question.
  ASSERT_TRUE(TabTo(panel.GetRestoreButton().GetHwnd()));
  KeyAnswerer enter(VK_RETURN, 1, "Confirm");
  SendKey(VK_SPACE);
  PumpUntil([&] { return testsupport::ValueExists(HKEY_CURRENT_USER, kKey, "Gone"); }, 20000);
  ASSERT_EQ(1, enter.Wait());
  EXPECT_EQ("The 1 operation(s) will be restored.\nAre you sure?", enter.texts_[0]);
  DWORD type = 0xdeadbeef;
  std::string data = "sentinel";
  ASSERT_TRUE(testsupport::ReadRaw(HKEY_CURRENT_USER, kKey, "Gone", type, data));
  EXPECT_EQ(plantedType, type);
  EXPECT_EQ(planted, data);
  EXPECT_EQ(0, list.GetCount());
}

// ---------------------------------------------------------------- tools

TEST_F(KeyboardTest, ToolListsAreTabStopsAndStartupRemovesFromKeys) {
  testsupport::SetString(HKEY_CURRENT_USER, RegCheck::kStartupRunKeyPath, "Alpha", "c:\\a.exe");
  testsupport::SetString(HKEY_CURRENT_USER, RegCheck::kStartupRunKeyPath, "Beta", "c:\\b.exe");
  testsupport::SetString(HKEY_CURRENT_USER, RegCheck::kStartupRunKeyPath, "Gamma", "c:\\c.exe");
  StartActive();
  // Each tool's list is reached by Tab once its panel shows.
  const struct {
    UINT button;
    int panel;
  } tools[] = {{IDC_PANEL_IEPLUGINS, CWorkArea::kIEPlugins},
               {IDC_PANEL_UNINSTALL, CWorkArea::kUninstall},
               {IDC_PANEL_STARTUP, CWorkArea::kStartup}};
  for (const auto& tool : tools) {
    ASSERT_TRUE(OpenPanel(tool.button, tool.panel)) << tool.panel;
    auto& panel = dynamic_cast<CToolPanel&>(Work().GetPanel(tool.panel));
    EXPECT_TRUE(TabTo(panel.GetList().GetHwnd())) << "panel " << tool.panel;
  }
  auto& startup = dynamic_cast<CToolPanel&>(Work().GetPanel(CWorkArea::kStartup));
  fw::CListBox& list = startup.GetList();
  ASSERT_EQ(GetFocus(), list.GetHwnd());
  ASSERT_EQ(3, list.GetCount());
  ASSERT_TRUE(Press(VK_END, [&] { return list.GetCurSel() == 2; }));
  ASSERT_TRUE(Press(VK_UP, [&] { return list.GetCurSel() == 1; }));
  ASSERT_EQ("Beta - c:\\b.exe", list.GetText(1));

  ASSERT_TRUE(TabTo(startup.GetSecondButton()->GetHwnd()));
  KeyAnswerer enter(VK_RETURN, 1, "Confirm");
  SendKey(VK_SPACE);
  PumpUntil([&] { return list.GetCount() == 2; }, 20000);
  ASSERT_EQ(1, enter.Wait());
  EXPECT_FALSE(testsupport::ValueExists(HKEY_CURRENT_USER, RegCheck::kStartupRunKeyPath, "Beta"));
  EXPECT_TRUE(testsupport::ValueExists(HKEY_CURRENT_USER, RegCheck::kStartupRunKeyPath, "Alpha"));
  EXPECT_TRUE(testsupport::ValueExists(HKEY_CURRENT_USER, RegCheck::kStartupRunKeyPath, "Gamma"));
}

TEST_F(KeyboardTest, TabReachesTheAboutPanelsLink) {
  StartActive();
  ASSERT_TRUE(OpenPanel(IDC_PANEL_ABOUT, CWorkArea::kAbout));
  HWND link = GetDlgItem(Work().GetHwnd(), IDC_ABOUT_LINK);
  ASSERT_NE(nullptr, link);
  EXPECT_TRUE(TabTo(link));
}

}  // namespace
