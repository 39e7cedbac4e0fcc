// The ignore list in the windowed program: "Ignore" in the details dialog
// stores the ticked errors and takes them out of the counts, the Options
// panel lists them and brings one back with "Remove", and a later scan,
// the background "/scan" included, does not report what is ignored.

#include "AppFixture.h"

#include "app/DetailsDlg.h"
#include "app/OptionControls.h"
#include "engine/IgnoreList.h"
#include "engine/ScanCategories.h"
#include "res/resource.h"

using namespace apptest;
using namespace RegCheck;

namespace {

class IgnoreListTest : public AppTest {
 protected:
  // Ticks only the rows of the details dialog named in `rows`.
  static void TickOnlyRows(HWND dialog, std::initializer_list<int> rows) {
    Press(dialog, IDC_SELECT_NONE);
    HWND list = GetDlgItem(dialog, CDetailsDlg::kListId);
    for (int row : rows) {
      RECT item;
      SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
      LPARAM inBox = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
      SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, inBox);
      SendMessageA(list, WM_LBUTTONUP, 0, inBox);
    }
  }
  HWND DetailsButton() {
    return List().GetRow(CCleanListControl::RowOfCategory(kCatSharedDll))->details.GetHwnd();
  }
};

TEST_F(IgnoreListTest, DetailsIgnoreOptionsRemoveAndTheNextScans) {
  SetOption("PromptFix", 0);
  SetOption("UseSound", 0);
  for (int i = 0; i < 3; ++i) PlantMissingSharedDll("ign" + std::to_string(i) + ".dll");
  Start();
  TickOnly(kCatSharedDll);
  Click(Panel().GetScanButton());
  ASSERT_EQ("(3/3) Errors", Status(kCatSharedDll));
  std::string ignoredLocation;
  Panel().GetResults().At(1)->GetLocation(ignoredLocation);

  // Nothing ticked: "Ignore" only explains; then row 1 ticked and ignored.
  int rowsAfter = -1;
  std::string nothingText;
  DialogDriver driver(CDetailsDlg::kListId, [&](HWND dialog) {
    Press(dialog, IDC_SELECT_NONE);
    {
      BoxAnswerer nothing("Ignore", IDOK);
      Press(dialog, IDC_DETAILS_IGNORE);
      nothing.Wait();
      nothingText = nothing.Text();
    }
    TickOnlyRows(dialog, {1});
    BoxAnswerer yes("Ignore", IDYES);
    Press(dialog, IDC_DETAILS_IGNORE);
    yes.Wait();
    rowsAfter = static_cast<int>(
        SendMessageA(GetDlgItem(dialog, CDetailsDlg::kListId), LB_GETCOUNT, 0, 0));
    Press(dialog, IDOK);
  });
  Click(DetailsButton());
  ASSERT_TRUE(driver.Wait());
  EXPECT_EQ("Tick the errors that later scans should not report.", nothingText);
  EXPECT_EQ(2, rowsAfter);
  EXPECT_EQ("(0/2) Errors", Status(kCatSharedDll));
  EXPECT_EQ(2u, ReadSetting("regSharedDll"));
  const std::vector<IgnoreEntry> stored = ReadIgnoreList();
  ASSERT_EQ(1u, stored.size());
  EXPECT_EQ(kCatSharedDll, stored[0].category);
  EXPECT_EQ(ignoredLocation, stored[0].location);

  // A new scan does not report it, and neither does the background scan.
  Click(Panel().GetScanButton());
  EXPECT_EQ("(2/2) Errors", Status(kCatSharedDll));
  EXPECT_EQ(2, Panel().GetResults().Count());
  EXPECT_EQ(2u, ReadSetting("regSharedDll"));

  // The Options panel lists it; "Remove" brings it back for the next scan.
  Work().SelectPanel(CWorkArea::kOptions);
  COptionControls& options = Work().GetOptionsPanel();
  ASSERT_EQ(1, options.GetIgnoredList().GetCount());
  EXPECT_NE(std::string::npos, options.GetIgnoredList().GetText(0).find(ignoredLocation));
  BoxAnswerer choose("Remove", IDOK);
  Click(options.GetRemoveIgnoredButton().GetHwnd());
  ASSERT_TRUE(choose.Wait());
  EXPECT_EQ(1, options.GetIgnoredList().GetCount());
  options.GetIgnoredList().SetCurSel(0);
  Click(options.GetRemoveIgnoredButton().GetHwnd());
  EXPECT_EQ(0, options.GetIgnoredList().GetCount());
  EXPECT_TRUE(ReadIgnoreList().empty());
  Work().SelectPanel(CWorkArea::kScan);
  Click(Panel().GetScanButton());
  EXPECT_EQ("(3/3) Errors", Status(kCatSharedDll));
}

TEST_F(IgnoreListTest, BackgroundScanLeavesIgnoredErrorsOut) {
  SetOption("PromptFix", 0);
  SetOption("UseSound", 0);
  PlantMissingSharedDll("bg-kept.dll");
  PlantMissingSharedDll("bg-ignored.dll");
  IgnoreEntry entry;
  entry.category = kCatSharedDll;
  entry.location = std::string("HKLM\\") + kSharedDlls + " (VALUE:" +
                   temp_.PathOf("gone\\bg-ignored.dll") + ")";
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(entry));
  Start("/scan");
  // Start returns once the start-up scan is over.
  EXPECT_EQ("(1/1) Errors", Status(kCatSharedDll));
  EXPECT_EQ(1u, ReadSetting("regSharedDll"));
  std::string location;
  Panel().GetResults().At(0)->GetLocation(location);
  EXPECT_NE(std::string::npos, location.find("bg-kept.dll"));
}

}  // namespace
