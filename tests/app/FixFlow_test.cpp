// Fixing found errors from the scan panel: confirmation, the fix run with
// its progress dialog, backup and log, the outcome message and "regCLS".

#include "AppFixture.h"

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <vector>
#include <sstream>

#include "app/DetailsDlg.h"
#include "app/FixProgressDlg.h"
#include "checkers/SharedDllChecker.h"
#include "engine/ScanCategories.h"
#include "res/resource.h"
#include "support/gui/ResponsivenessProbe.h"

using namespace apptest;
using namespace RegCheck;

namespace {

class FixFlowTest : public AppTest {
 protected:
  // Starts without prompt or sound and scans the shared DLLs.
  void ScanSharedDlls(int count) {
    SetOption("PromptFix", 0);
    SetOption("UseSound", 0);
    SetOption("regCLS", 0);
    for (int i = 0; i < count; ++i) PlantMissingSharedDll("f" + std::to_string(i) + ".dll");
    Start();
    TickOnly(kCatSharedDll);
    Click(Panel().GetScanButton());
    ASSERT_EQ(count, Panel().GetResults().Count());
  }

  int SharedDllValues() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
  }

  std::string Log() {
    std::ifstream in(logPath_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Ticks only rows `keep` in the details dialog of the shared DLLs.
  void SelectInDetails(std::vector<int> keep) {
    DialogDriver driver(CDetailsDlg::kListId, [keep](HWND dialog) {
      Press(dialog, IDC_SELECT_NONE);
      HWND list = GetDlgItem(dialog, CDetailsDlg::kListId);
      for (int row : keep) {
        RECT item;
        SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
        LPARAM inBox = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, inBox);
        SendMessageA(list, WM_LBUTTONUP, 0, inBox);
      }
      Press(dialog, IDOK);
    });
    Click(List().GetRow(CCleanListControl::RowOfCategory(kCatSharedDll))->details.GetHwnd());
    ASSERT_TRUE(driver.Wait());
  }
};

TEST_F(FixFlowTest, FixesTheThreeSelectedOfTenAndKeepsTheOthers) {
  ScanSharedDlls(10);
  SelectInDetails({1, 4, 7});
  ASSERT_EQ("(3/10) Errors", Status(kCatSharedDll));
  std::vector<std::string> chosen;
  for (int i : {1, 4, 7}) {
    chosen.push_back(static_cast<CSharedDllAction*>(Panel().GetResults().At(i))->GetValueName());
  }

  BoxAnswerer confirm("Varnholt", IDYES, 10000);
  BoxAnswerer outcome("Varnholt", IDOK, 10000);
  Click(Panel().GetFixButton());
  ASSERT_TRUE(confirm.Wait());
  ASSERT_TRUE(outcome.Wait());
  EXPECT_EQ("Your computer have 10 errors. You selected 3 errors.\nDo you want to fix them now?",
            confirm.Text());
  EXPECT_EQ("3 of 3 errors were fixed succesfully.", outcome.Text());

  EXPECT_EQ(7, SharedDllValues());
  EXPECT_EQ(7, Panel().GetResults().Count());
  for (CRegistryAction* left : Panel().GetResults()) EXPECT_EQ(0, left->IsSelected());
  EXPECT_EQ("(0/7) Errors", Status(kCatSharedDll));
  EXPECT_FALSE(Panel().GetFixButton().IsWindowEnabled());
  EXPECT_EQ(1u, ReadSetting("regCLS"));
  EXPECT_EQ(3, manager_->GetCurrentSession().Count());

  const std::string log = Log();
  const std::string description = "\r\nVarnholt Version 1.37 on ";
  size_t head = log.find(description);
  ASSERT_NE(std::string::npos, head) << log;
  size_t start = log.find("Starting to fix 3 errors.", head);
  size_t end = log.find("Error fix complete.", start);
  ASSERT_NE(std::string::npos, start) << log;
  ASSERT_NE(std::string::npos, end) << log;
  for (const std::string& name : chosen) {
    size_t at = log.find(name, start);
    EXPECT_TRUE(at != std::string::npos && at < end) << name << "\n" << log;
  }
}

// Every fix needs its backup on disk first: when the Backup folder cannot be
// written, nothing is deleted and the user is told why.
TEST_F(FixFlowTest, AnUnwritableBackupFolderIsNamedInTheOutcome) {
  const std::string blocked = temp_.PathOf("blocked");
  HANDLE file = CreateFileA(blocked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  SetBackupManagerForTesting(nullptr);
  manager_.reset(new CBackupManager(blocked + "\\Backup"));
  SetBackupManagerForTesting(manager_.get());

  ScanSharedDlls(2);
  BoxAnswerer confirm("Varnholt", IDYES, 10000);
  BoxAnswerer outcome("Varnholt", IDOK, 10000);
  Click(Panel().GetFixButton());
  ASSERT_TRUE(outcome.Wait());
  const std::string text = outcome.Text();
  EXPECT_EQ(0u, text.find("0 of 2 errors were fixed succesfully.\n\n2 could not be fixed")) << text;
  EXPECT_NE(std::string::npos, text.find("the backup folder " + blocked + "\\Backup cannot be written"))
      << text;
  EXPECT_EQ(2, SharedDllValues());
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
  // The log keeps its usual lines.
  const std::string log = Log();
  EXPECT_NE(std::string::npos, log.find("Starting to fix 2 errors.")) << log;
  EXPECT_NE(std::string::npos, log.find("Error fix complete.")) << log;
}

TEST_F(FixFlowTest, AFailingFixIsNotCountedButLeavesTheList) {
  ScanSharedDlls(3);
  // Someone else removes one entry between the scan and the fix.
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_SET_VALUE, &key));
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, temp_.PathOf("gone\\f1.dll").c_str()));
  RegCloseKey(key);

  BoxAnswerer confirm("Varnholt", IDYES, 10000);
  BoxAnswerer outcome("Varnholt", IDOK, 10000);
  Click(Panel().GetFixButton());
  ASSERT_TRUE(outcome.Wait());
  EXPECT_EQ("Your computer have 3 errors. You selected 3 errors.\nDo you want to fix them now?",
            confirm.Text());
  // The entry was already gone: no backup reason to give, only the count.
  EXPECT_EQ("2 of 3 errors were fixed succesfully.\n\n1 could not be fixed.", outcome.Text());
  EXPECT_EQ(0, Panel().GetResults().Count());
  EXPECT_EQ(0, SharedDllValues());
  EXPECT_EQ("No Errors", Status(kCatSharedDll));
  EXPECT_EQ(1u, ReadSetting("regCLS"));
}

TEST_F(FixFlowTest, NoToTheConfirmationFixesNothing) {
  ScanSharedDlls(2);
  BoxAnswerer confirm("Varnholt", IDNO, 10000);
  Click(Panel().GetFixButton());
  ASSERT_TRUE(confirm.Wait());
  EXPECT_EQ(2, SharedDllValues());
  EXPECT_EQ(2, Panel().GetResults().Count());
  EXPECT_EQ(0u, ReadSetting("regCLS"));
  EXPECT_EQ(std::string::npos, Log().find("Starting to fix"));
}

TEST_F(FixFlowTest, YesToThePromptAfterTheScanFixesEverything) {
  SetOption("UseSound", 0);
  for (int i = 0; i < 3; ++i) PlantMissingSharedDll("p" + std::to_string(i) + ".dll");
  Start();
  TickOnly(kCatSharedDll);
  BoxAnswerer prompt("Varnholt", IDYES, 10000);
  BoxAnswerer outcome("Varnholt", IDOK, 10000);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(outcome.Wait());
  EXPECT_EQ("3 errors were found. Do you want to fix all these errors now?", prompt.Text());
  EXPECT_EQ("3 of 3 errors were fixed succesfully.", outcome.Text());
  EXPECT_EQ(0, SharedDllValues());
  EXPECT_EQ("No Errors", Status(kCatSharedDll));
  EXPECT_EQ(1u, ReadSetting("regCLS"));
}

// Each fix snapshots its entry and makes the journal durable before the
// next; over thousands of fixes the frame and the progress dialog must
// still answer within a second throughout.
TEST_F(FixFlowTest, WindowsKeepAnsweringThroughFiveThousandFixes) {
  constexpr int kFixes = 5000;
  ScanSharedDlls(kFixes);
  const HWND frame = Frame().GetHwnd();
  std::atomic<int> dialogProbes{0};
  guitest::ResponsivenessProbe probe([&] {
    std::vector<HWND> targets{frame};
    if (HWND dialog = FindOwnDialog(nullptr, IDC_FIX_BAR)) {
      targets.push_back(dialog);
      ++dialogProbes;
    }
    return targets;
  });
  BoxAnswerer confirm("Varnholt", IDYES, 10000);
  BoxAnswerer outcome("Varnholt", IDOK, 600000);
  Click(Panel().GetFixButton());
  probe.Stop();
  ASSERT_TRUE(outcome.Wait());
  EXPECT_EQ("5000 of 5000 errors were fixed succesfully.", outcome.Text());
  EXPECT_EQ(0, probe.Late()) << probe.Report();
  EXPECT_GE(dialogProbes, 10);
  EXPECT_EQ(0, SharedDllValues());
  EXPECT_EQ(kFixes, manager_->GetCurrentSession().Count());
  // The frame takes input again once the run is over.
  EXPECT_TRUE(IsWindowEnabled(frame));
}

TEST(FixProgressDlgTest, CountsDownWhileTheBarFills) {
  CFixProgressDlg dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  dialog.SetTotal(3);
  HWND bar = dialog.GetDlgItem(IDC_FIX_BAR);
  HWND remaining = dialog.GetDlgItem(IDC_FIX_REMAINING);
  EXPECT_EQ("3", WindowTextOf(remaining));
  EXPECT_EQ(0, SendMessageA(bar, PBM_GETPOS, 0, 0));
  EXPECT_EQ(3, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
  const char* expected[] = {"2", "1", "0"};
  for (int i = 0; i < 3; ++i) {
    dialog.Step();
    EXPECT_EQ(expected[i], WindowTextOf(remaining));
    EXPECT_EQ(i + 1, SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(2 - i, dialog.GetRemaining());
  }
  dialog.DestroyWindow();
}

}  // namespace
