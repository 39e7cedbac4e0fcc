// The uninstall tool's panel over a sandboxed Uninstall key: its lines,
// both questions, that each of two same-named lines removes its own
// subkey, and the buttons after the last line is gone.

#include <gtest/gtest.h>

#include "ToolPanelTest.h"
#include "app/UninstallControls.h"
#include "res/resource.h"

using namespace RegCheck;
using namespace testsupport;
using paneltest::PanelTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;
const HKEY kHKCU = HKEY_CURRENT_USER;

std::string Program(const std::string& key) { return std::string(kUninstallKeyPath) + "\\" + key; }

class UninstallControlsTest : public PanelTest {
 protected:
  void Plant(const std::string& key, const std::string& name, const std::string& command) {
    SetString(kHKLM, Program(key), "DisplayName", name);
    SetString(kHKLM, Program(key), "UninstallString", command);
  }
  void Build() {
    host_.onCommand = [this](UINT id) { return panel_.OnCommand(id); };
    ASSERT_TRUE(panel_.Create(host_));
    panel_.Show();
  }
  HWND RunButton() { return panel_.GetFirstButton()->GetHwnd(); }
  HWND RemoveButton() { return panel_.GetSecondButton()->GetHwnd(); }
  const UninstallEntry* LineEntry(int line) {
    return reinterpret_cast<const UninstallEntry*>(panel_.GetList().GetItemData(line));
  }

  CUninstallControls panel_;
};

TEST_F(UninstallControlsTest, ListsDisplayNamesSortedWithTheirButtons) {
  Plant("{22}", "Zip Tool", "c:\\zip\\unins.exe");
  Plant("arc", "archiver", "c:\\arc\\unins.exe");
  SetString(kHKLM, Program("half"), "DisplayName", "Half Registered");
  SetString(kHKCU, Program("mine"), "DisplayName", "Per User");
  SetString(kHKCU, Program("mine"), "UninstallString", "c:\\u.exe");
  Build();

  EXPECT_EQ((std::vector<std::string>{"archiver", "Zip Tool"}), Lines(panel_.GetList()));
  EXPECT_EQ("arc", LineEntry(0)->KeyName());
  EXPECT_EQ("{22}", LineEntry(1)->KeyName());
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_EQ("Run uninstall", panel_.GetFirstButton()->GetWindowText());
  EXPECT_EQ("Remove entry", panel_.GetSecondButton()->GetWindowText());
  EXPECT_EQ(IDC_UNINSTALL_RUN, static_cast<UINT>(panel_.GetFirstButton()->GetDlgCtrlID()));
  EXPECT_EQ(IDC_UNINSTALL_REMOVE, static_cast<UINT>(panel_.GetSecondButton()->GetDlgCtrlID()));
  EXPECT_TRUE(IsWindowEnabled(RunButton()) && IsWindowEnabled(RemoveButton()));
}

TEST_F(UninstallControlsTest, EachOfTwoSameNamedLinesRemovesItsOwnSubkey) {
  Plant("first", "Same Name", "c:\\1\\unins.exe");
  Plant("second", "Same Name", "c:\\2\\unins.exe");
  Plant("other", "Other", "c:\\o\\unins.exe");
  Build();
  ASSERT_EQ((std::vector<std::string>{"Other", "Same Name", "Same Name"}), Lines(panel_.GetList()));

  panel_.GetList().SetCurSel(2);
  const std::string victim = LineEntry(2)->KeyName();
  const std::string survivor = LineEntry(1)->KeyName();
  ASSERT_NE(victim, survivor);
  EXPECT_EQ("Uninstall entry for selected program will be\nremoved from registry. Are you sure?",
            PressAndAnswer(RemoveButton(), "Confirm", IDYES));
  EXPECT_FALSE(KeyExists(kHKLM, Program(victim)));
  EXPECT_TRUE(KeyExists(kHKLM, Program(survivor)));
  EXPECT_EQ(1, panel_.GetList().GetCurSel());
  EXPECT_EQ(survivor, LineEntry(1)->KeyName());

  PressAndAnswer(RemoveButton(), "Confirm", IDYES);
  EXPECT_FALSE(KeyExists(kHKLM, Program(survivor)));
  EXPECT_TRUE(KeyExists(kHKLM, Program("other")));
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_EQ((std::vector<std::string>{"Uninstall info entry " + victim,
                                      "Uninstall info entry " + survivor}),
            Descriptions());

  PressAndAnswer(RemoveButton(), "Confirm", IDYES);
  EXPECT_EQ(0, panel_.GetList().GetCount());
  EXPECT_FALSE(IsWindowEnabled(RunButton()));
  EXPECT_FALSE(IsWindowEnabled(RemoveButton()));
}

TEST_F(UninstallControlsTest, RunUninstallAsksThenStartsTheUninstallString) {
  const std::string marker = temp_.PathOf("ran.txt");
  Plant("tool", "Tool", MarkerCommand("ran.txt"));
  Build();

  EXPECT_EQ("Run uninstall for selected software.\nAre you sure?",
            PressAndAnswer(RunButton(), "Confirm", IDNO));
  panel_.GetList().SetCurSel(-1);
  EXPECT_EQ("", PressAndAnswer(RunButton(), "Confirm", IDYES, 1000)) << "asked with no line";
  EXPECT_EQ("", PressAndAnswer(RemoveButton(), "Confirm", IDYES, 1000)) << "asked with no line";
  Sleep(300);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()));
  EXPECT_TRUE(KeyExists(kHKLM, Program("tool")));

  panel_.GetList().SetCurSel(0);
  PressAndAnswer(RunButton(), "Confirm", IDYES);
  EXPECT_TRUE(WaitForFile(marker));
  // Running an uninstaller is no removal: the line and the key stay.
  EXPECT_EQ(1, panel_.GetList().GetCount());
  EXPECT_TRUE(KeyExists(kHKLM, Program("tool")));
}

// An entry the deletion guard refuses (a subkey named like one of the
// containers) is not removed: its line stays and the user is told why.
TEST_F(UninstallControlsTest, ARefusedRemovalKeepsItsLineAndSaysWhy) {
  Plant("Run", "Guarded", "c:\\g\\unins.exe");
  Plant("plain", "Plain", "c:\\p\\unins.exe");
  Build();
  ASSERT_EQ((std::vector<std::string>{"Guarded", "Plain"}), Lines(panel_.GetList()));
  panel_.GetList().SetCurSel(0);
  {
    guitest::MessageBoxAnswerer failure("Varnholt", IDOK, 10000);
    PressAndAnswer(RemoveButton(), "Confirm", IDYES);
    ASSERT_TRUE(failure.Wait());
    EXPECT_EQ(0u, failure.Text().find("\"Guarded\" was not removed:\nthe deletion was refused: "))
        << failure.Text();
  }
  EXPECT_TRUE(KeyExists(kHKLM, Program("Run")));
  EXPECT_EQ((std::vector<std::string>{"Guarded", "Plain"}), Lines(panel_.GetList()));
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_EQ(0, manager_->GetCurrentSession().Count());
}

}  // namespace
