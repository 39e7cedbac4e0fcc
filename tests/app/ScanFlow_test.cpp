// The scan panel and the scan flow driven as a user would: tick boxes,
// "Scan NOW!", the progress dialog, the details dialog and the answers to
// the program's message boxes.

#include "AppFixture.h"

#include "app/DetailsDlg.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "res/resource.h"

using namespace apptest;
using namespace RegCheck;

namespace {

const int kThree = kCatSharedDll | kCatHelpFiles | kCatFonts;

class ScanFlowTest : public AppTest {};

TEST_F(ScanFlowTest, StartsWithEveryRowTickedAndNotScanned) {
  Start();
  ASSERT_TRUE(Frame().IsWindowVisible());
  EXPECT_EQ(kAllCategories, Panel().GetSelectedCategories());
  for (int row = 0; row < CCleanListControl::kRowCount; ++row) {
    EXPECT_EQ(1, List().GetRow(row)->ticked) << row;
    EXPECT_EQ("Not Scanned", List().StatusText(row)) << row;
    EXPECT_FALSE(IsWindowVisible(List().GetRow(row)->details.GetHwnd())) << row;
  }
  EXPECT_FALSE(Panel().GetFixButton().IsWindowEnabled());
  EXPECT_TRUE(Panel().GetScanButton().IsWindowVisible());
  EXPECT_EQ(0, Work().GetPanelIndex());
  EXPECT_EQ(0u, Work().GetDescription().GetWindowText().find("In this section you can scan"));
}

TEST_F(ScanFlowTest, OnlyTheTickBoxTogglesARow) {
  Start();
  ClickTickBox(3);
  EXPECT_EQ(0, List().GetRow(3)->ticked);
  // A click on the label of the row leaves it alone.
  RECT item = List().GetItemRect(4);
  LPARAM onLabel = MAKELPARAM(item.left + 60, (item.top + item.bottom) / 2);
  SendMessageA(List().GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, onLabel);
  SendMessageA(List().GetHwnd(), WM_LBUTTONUP, 0, onLabel);
  EXPECT_EQ(1, List().GetRow(4)->ticked);
  ClickTickBox(3);
  EXPECT_EQ(1, List().GetRow(3)->ticked);
  EXPECT_EQ(kAllCategories, Panel().GetSelectedCategories());
}

TEST_F(ScanFlowTest, ScanWithNothingTickedOnlyComplains) {
  PlantMissingSharedDll("a.dll");
  Start();
  TickOnly(0);
  BoxAnswerer box("Varnholt", IDOK);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(box.Wait());
  EXPECT_EQ("Error. You must select at least one category to scan.", box.Text());
  EXPECT_EQ(0, Panel().GetResults().Count());
  for (int row = 0; row < CCleanListControl::kRowCount; ++row)
    EXPECT_EQ("Not Scanned", List().StatusText(row));
  // No scan ran, so no counts were written.
  EXPECT_EQ(0xdeadbeefu, ReadSetting("regSharedDll"));
}

TEST_F(ScanFlowTest, ScanOfThreeRowsMarksExactlyThoseAndSavesTheCounts) {
  SetOption("PromptFix", 0);
  SetOption("UseSound", 0);
  for (const char* name : {"one.dll", "two.dll", "three.dll"}) PlantMissingSharedDll(name);
  PlantMissingHelpFile("gone.hlp");
  // Stale entries of a category that is not ticked stay unfound.
  testsupport::SetString(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe", "",
                         temp_.PathOf("gone\\gone.exe"));
  // Sentinels: every count value is rewritten by the scan.
  SetOption("regAppPath", 77);
  SetOption("regEntireSearch", 77);
  Start();
  TickOnly(kThree);
  Click(Panel().GetScanButton());

  EXPECT_EQ("(3/3) Errors", Status(kCatSharedDll));
  EXPECT_EQ("(1/1) Errors", Status(kCatHelpFiles));
  EXPECT_EQ("No Errors", Status(kCatFonts));
  for (int row = 0; row < CCleanListControl::kRowCount; ++row) {
    const int bit = CCleanListControl::CategoryOfRow(row);
    if (!(bit & kThree)) {
      EXPECT_EQ("Not Scanned", List().StatusText(row)) << row;
    }
    const bool errors = bit == kCatSharedDll || bit == kCatHelpFiles;
    EXPECT_EQ(errors, IsWindowVisible(List().GetRow(row)->details.GetHwnd()) != 0) << row;
  }
  EXPECT_TRUE(Panel().GetFixButton().IsWindowEnabled());
  EXPECT_EQ(4, Panel().GetResults().Count());

  EXPECT_EQ(3u, ReadSetting("regSharedDll"));
  EXPECT_EQ(1u, ReadSetting("regHelpFiles"));
  EXPECT_EQ(0u, ReadSetting("regFonts"));
  EXPECT_EQ(0u, ReadSetting("regAppPath"));
  EXPECT_EQ(0u, ReadSetting("regEntireSearch"));
  EXPECT_EQ(0u, ReadSetting("regHistory"));
}

TEST_F(ScanFlowTest, CleanScanSaysSoWithoutPrompt) {
  Start();
  TickOnly(kCatSharedDll | kCatFonts);
  BoxAnswerer box("Varnholt", IDOK);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(box.Wait());
  EXPECT_EQ("Registry scan was successfully finished.\nNo errors were found.", box.Text());
  EXPECT_EQ("No Errors", Status(kCatSharedDll));
  EXPECT_FALSE(Panel().GetFixButton().IsWindowEnabled());
}

TEST_F(ScanFlowTest, FoundErrorsArePromptedForAndNoLeavesThemListed) {
  SetOption("UseSound", 0);
  PlantMissingSharedDll("x.dll");
  PlantMissingSharedDll("y.dll");
  Start();
  TickOnly(kCatSharedDll);
  BoxAnswerer prompt("Varnholt", IDNO);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(prompt.Wait());
  EXPECT_EQ("2 errors were found. Do you want to fix all these errors now?", prompt.Text());
  EXPECT_EQ("(2/2) Errors", Status(kCatSharedDll));
  EXPECT_TRUE(testsupport::ValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, temp_.PathOf("gone\\x.dll")));
}

TEST_F(ScanFlowTest, DetailsDialogUnticksThreeOfFive) {
  SetOption("PromptFix", 0);
  SetOption("UseSound", 0);
  for (int i = 0; i < 5; ++i) PlantMissingSharedDll("lib" + std::to_string(i) + ".dll");
  Start();
  TickOnly(kCatSharedDll);
  Click(Panel().GetScanButton());
  ASSERT_EQ("(5/5) Errors", Status(kCatSharedDll));

  int rows = -1;
  int extent = -1;
  DialogDriver driver(CDetailsDlg::kListId, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, CDetailsDlg::kListId);
    rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    extent = static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
    for (int row : {0, 2, 4}) {
      RECT item;
      SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
      LPARAM inBox = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
      SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, inBox);
      SendMessageA(list, WM_LBUTTONUP, 0, inBox);
    }
    Press(dialog, IDOK);
  });
  HWND details = List().GetRow(CCleanListControl::RowOfCategory(kCatSharedDll))->details.GetHwnd();
  Click(details);
  ASSERT_TRUE(driver.Wait());
  EXPECT_EQ(5, rows);
  EXPECT_GT(extent, 100);
  EXPECT_EQ("(2/5) Errors", Status(kCatSharedDll));
  EXPECT_EQ(0, Panel().GetResults().At(0)->IsSelected());
  EXPECT_EQ(1, Panel().GetResults().At(1)->IsSelected());
  EXPECT_EQ(0, Panel().GetResults().At(4)->IsSelected());
  EXPECT_TRUE(Panel().GetFixButton().IsWindowEnabled());

  // "Select None" in the dialog, closed with its close box: nothing is
  // selected any more and "Fix Errors" cannot be pressed.
  DialogDriver none(CDetailsDlg::kListId, [&](HWND dialog) {
    Press(dialog, IDC_SELECT_NONE);
    Press(dialog, IDCANCEL);
  });
  Click(details);
  ASSERT_TRUE(none.Wait());
  EXPECT_EQ("(0/5) Errors", Status(kCatSharedDll));
  EXPECT_FALSE(Panel().GetFixButton().IsWindowEnabled());
}

// The errors counter of the progress dialog: the static 188 pixels down.
HWND ErrorsCounter(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    POINT p = {r.left, r.top};
    ScreenToClient(dialog, &p);
    if (p.x == 159 && p.y == 188) return child;
  }
  return nullptr;
}

TEST_F(ScanFlowTest, CancelKeepsResultsSoFarAndMarksEveryTickedRow) {
  SetOption("UseSound", 0);
  // Enough stale values that the scan, at one registry call per value, is
  // still in the shared DLLs when the user presses "Cancel" on a loaded
  // machine; the help file would be found after them. Planted through one
  // open key, which is quick.
  constexpr int kMany = 30000;
  {
    RegKey dlls;
    ASSERT_EQ(ERROR_SUCCESS, dlls.Create(HKEY_LOCAL_MACHINE, kSharedDlls));
    for (int i = 0; i < kMany; ++i)
      dlls.SetDWORDValue(temp_.PathOf("gone\\many" + std::to_string(i) + ".dll").c_str(), 1);
  }
  PlantMissingHelpFile("late.hlp");
  Start();
  TickOnly(kThree);

  std::string sectionSeen;
  DialogDriver cancel(IDC_PROGRESS_CANCEL, [&](HWND dialog) {
    HWND errors = nullptr;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
      if (!errors) errors = ErrorsCounter(dialog);
      if (errors && WindowTextOf(errors) != "0") break;
      Sleep(2);
    }
    Press(dialog, IDC_PROGRESS_CANCEL);
  });
  BoxAnswerer box("Varnholt", IDOK, 30000);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(cancel.Wait());
  ASSERT_TRUE(box.Wait());
  EXPECT_EQ(
      "Scanning process was cancelled by user.\nNot all errors were found.\nWe recommend to rescan "
      "registry to find all errors.",
      box.Text());
  const int found = Panel().GetResults().Count();
  EXPECT_GT(found, 0);
  EXPECT_LT(found, kMany);
  // Every ticked row counts as scanned; the help file was never reached.
  char expected[32];
  snprintf(expected, sizeof expected, "(%d/%d) Errors", found, found);
  EXPECT_EQ(expected, Status(kCatSharedDll));
  EXPECT_EQ("No Errors", Status(kCatHelpFiles));
  EXPECT_EQ("No Errors", Status(kCatFonts));
  EXPECT_EQ("Not Scanned", Status(kCatComObject));
  EXPECT_EQ(static_cast<DWORD>(found), ReadSetting("regSharedDll"));
  EXPECT_EQ(0u, ReadSetting("regHelpFiles"));
  EXPECT_FALSE(GetScanCoordinator().IsRunning());
  EXPECT_FALSE(GetScanCoordinator().IsCancelled());
}

}  // namespace
