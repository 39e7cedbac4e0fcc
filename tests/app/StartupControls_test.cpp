// The startup tool's panel over sandboxed Run keys: which lines it shows
// and in which order, the two confirmations, which line is selected after a
// removal, and what the buttons do with no line selected.

#include <gtest/gtest.h>

#include <thread>

#include "ToolPanelTest.h"
#include "app/StartupControls.h"
#include "res/resource.h"

using namespace RegCheck;
using namespace testsupport;
using paneltest::PanelTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;
const HKEY kHKCU = HKEY_CURRENT_USER;
constexpr char kRemoveQuestion[] =
    "Startup entry for selected program will be\nremoved from registry. Are you sure?";

class StartupControlsTest : public PanelTest {
 protected:
  void Build() {
    host_.onCommand = [this](UINT id) { return panel_.OnCommand(id); };
    ASSERT_TRUE(panel_.Create(host_));
    panel_.Show();
  }
  HWND RunButton() { return panel_.GetFirstButton()->GetHwnd(); }
  HWND RemoveButton() { return panel_.GetSecondButton()->GetHwnd(); }
  bool ButtonsEnabled() {
    return IsWindowEnabled(RunButton()) && IsWindowEnabled(RemoveButton());
  }
  bool ButtonsDisabled() {
    return !IsWindowEnabled(RunButton()) && !IsWindowEnabled(RemoveButton());
  }
  const StartupEntry* LineEntry(int line) {
    return reinterpret_cast<const StartupEntry*>(panel_.GetList().GetItemData(line));
  }
  std::string Remove() { return PressAndAnswer(RemoveButton(), "Confirm", IDYES); }

  CStartupControls panel_;
};

TEST_F(StartupControlsTest, ListsSortedLinesOfBothRootsButNotTheProgramsOwnValue) {
  SetString(kHKLM, kStartupRunKeyPath, "Zeta", "c:\\z.exe");
  SetString(kHKCU, kStartupRunKeyPath, "Varnholt", "c:\\v\\Varnholt.exe /scan");
  // Value names ignore case within a key: the other spelling lives under
  // the other root.
  SetString(kHKLM, kStartupRunKeyPath, "varnholt", "c:\\other.exe");
  SetString(kHKCU, kStartupRunKeyPath, "Alpha", "");
  SetString(kHKCU, kStartupRunKeyPath, "Zeta", "c:\\z.exe");
  SetDword(kHKCU, kStartupRunKeyPath, "Number", 1);
  Build();

  EXPECT_EQ((std::vector<std::string>{"Alpha - ", "varnholt - c:\\other.exe", "Zeta - c:\\z.exe",
                                      "Zeta - c:\\z.exe"}),
            Lines(panel_.GetList()));
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_TRUE(ButtonsEnabled());
  // The item data followed each line into its sorted place.
  for (int line = 0; line < panel_.GetList().GetCount(); ++line)
    EXPECT_EQ(panel_.GetList().GetText(line), LineEntry(line)->DisplayText());
  EXPECT_NE(LineEntry(2)->RootFlag(), LineEntry(3)->RootFlag());
}

TEST_F(StartupControlsTest, EachShowingRereadsTheRegistry) {
  SetString(kHKCU, kStartupRunKeyPath, "First", "c:\\1.exe");
  Build();
  ASSERT_EQ(1, panel_.GetList().GetCount());
  SetString(kHKLM, kStartupRunKeyPath, "Second", "c:\\2.exe");
  panel_.Hide();
  EXPECT_EQ(1, panel_.GetList().GetCount()) << "hiding refilled the list";
  panel_.Show();
  EXPECT_EQ((std::vector<std::string>{"First - c:\\1.exe", "Second - c:\\2.exe"}),
            Lines(panel_.GetList()));
}

TEST_F(StartupControlsTest, EmptyRunKeysDisableBothButtons) {
  SetString(kHKCU, kStartupRunKeyPath, "Varnholt", "c:\\v.exe");
  SetString(kHKLM, kStartupRunKeyPath, "Varnholt", "c:\\v.exe");
  Build();
  EXPECT_EQ(0, panel_.GetList().GetCount());
  EXPECT_TRUE(ButtonsDisabled());
}

TEST_F(StartupControlsTest, RemovalSelectsTheLineAboveOrTheNewFirstAndEmptyDisables) {
  for (const char* name : {"A", "B", "C", "D"})
    SetString(kHKCU, kStartupRunKeyPath, name, std::string("c:\\") + name + ".exe");
  Build();

  // A line other than the first: the line above takes the selection.
  panel_.GetList().SetCurSel(2);
  EXPECT_EQ(kRemoveQuestion, Remove());
  EXPECT_FALSE(ValueExists(kHKCU, kStartupRunKeyPath, "C"));
  EXPECT_EQ((std::vector<std::string>{"A - c:\\A.exe", "B - c:\\B.exe", "D - c:\\D.exe"}),
            Lines(panel_.GetList()));
  EXPECT_EQ(1, panel_.GetList().GetCurSel());

  // The first line: the new first line is selected.
  panel_.GetList().SetCurSel(0);
  Remove();
  EXPECT_EQ((std::vector<std::string>{"B - c:\\B.exe", "D - c:\\D.exe"}), Lines(panel_.GetList()));
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_TRUE(ButtonsEnabled());

  Remove();
  Remove();
  EXPECT_EQ(0, panel_.GetList().GetCount());
  EXPECT_TRUE(ButtonsDisabled());
  for (const char* name : {"A", "B", "C", "D"})
    EXPECT_FALSE(ValueExists(kHKCU, kStartupRunKeyPath, name)) << name;
  EXPECT_EQ((std::vector<std::string>{"Startup info entry C", "Startup info entry A",
                                      "Startup info entry B", "Startup info entry D"}),
            Descriptions());
}

TEST_F(StartupControlsTest, RemovingTheOnlyLineDisablesBothButtons) {
  SetString(kHKLM, kStartupRunKeyPath, "Only", "c:\\only.exe");
  Build();
  ASSERT_TRUE(ButtonsEnabled());
  Remove();
  EXPECT_EQ(0, panel_.GetList().GetCount());
  EXPECT_TRUE(ButtonsDisabled());
  EXPECT_FALSE(ValueExists(kHKLM, kStartupRunKeyPath, "Only"));
}

TEST_F(StartupControlsTest, RemovingOneOfTwoSameNamedValuesKeepsTheOtherRoots) {
  SetString(kHKLM, kStartupRunKeyPath, "Tool", "c:\\machine.exe");
  SetString(kHKCU, kStartupRunKeyPath, "Tool", "c:\\user.exe");
  Build();
  ASSERT_EQ(2, panel_.GetList().GetCount());
  const int userLine = panel_.GetList().GetText(0) == "Tool - c:\\user.exe" ? 0 : 1;
  panel_.GetList().SetCurSel(userLine);
  Remove();
  EXPECT_FALSE(ValueExists(kHKCU, kStartupRunKeyPath, "Tool"));
  EXPECT_TRUE(ValueExists(kHKLM, kStartupRunKeyPath, "Tool"));
  EXPECT_EQ((std::vector<std::string>{"Tool - c:\\machine.exe"}), Lines(panel_.GetList()));
}

TEST_F(StartupControlsTest, NoSelectedLineOrNoAsAnswerChangesNothing) {
  const std::string marker = temp_.PathOf("ran.txt");
  SetString(kHKCU, kStartupRunKeyPath, "Marker", MarkerCommand("ran.txt"));
  SetString(kHKCU, kStartupRunKeyPath, "Other", "c:\\other.exe");
  Build();

  panel_.GetList().SetCurSel(-1);
  EXPECT_EQ("", PressAndAnswer(RemoveButton(), "Confirm", IDYES, 1000)) << "asked with no line";
  EXPECT_EQ("", PressAndAnswer(RunButton(), "Confirm", IDYES, 1000)) << "asked with no line";
  EXPECT_EQ(2, panel_.GetList().GetCount());

  panel_.GetList().SetCurSel(0);
  EXPECT_EQ(kRemoveQuestion, PressAndAnswer(RemoveButton(), "Confirm", IDNO));
  EXPECT_EQ("The selected program will run.\nAre you sure?",
            PressAndAnswer(RunButton(), "Confirm", IDNO));
  EXPECT_EQ(2, panel_.GetList().GetCount());
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "Marker"));
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "Other"));
  EXPECT_EQ(0, Session().Count());
  Sleep(300);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()));
}

TEST_F(StartupControlsTest, RunProgramStartsTheSelectedLinesCommandAndKeepsTheList) {
  const std::string marker = temp_.PathOf("ran.txt");
  SetString(kHKCU, kStartupRunKeyPath, "Marker", MarkerCommand("ran.txt"));
  SetString(kHKCU, kStartupRunKeyPath, "Other", "c:\\other.exe");
  Build();
  ASSERT_EQ(0, panel_.GetList().GetText(0).rfind("Marker - ", 0));
  EXPECT_NE("", PressAndAnswer(RunButton(), "Confirm", IDYES));
  EXPECT_TRUE(WaitForFile(marker));
  EXPECT_EQ(2, panel_.GetList().GetCount());
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_EQ(0, Session().Count());
}

}  // namespace

namespace {

// The question box has no owner, so the list can be refilled behind it (the
// user opens the tool again); a Yes given about the old line removes
// nothing rather than an entry the answer was not about.
TEST_F(StartupControlsTest, AYesAfterTheListWasRefilledBehindTheBoxRemovesNothing) {
  for (const char* name : {"A", "B", "C"})
    SetString(kHKCU, kStartupRunKeyPath, name, std::string("c:\\") + name + ".exe");
  Build();
  panel_.GetList().SetCurSel(2);
  host_.onApp = [this] {
    HKEY key;
    if (RegOpenKeyExA(kHKCU, kStartupRunKeyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, "C");
      RegCloseKey(key);
    }
    panel_.Hide();
    panel_.Show();
  };
  // The user's hand: once the box is up, the refill, then Yes.
  std::string asked;
  std::thread user([this, &asked] {
    for (int i = 0; i < 500 && !FindWindowA("#32770", "Confirm"); ++i) Sleep(10);
    SendMessageA(host_, WM_APP, 0, 0);
    guitest::MessageBoxAnswerer yes("Confirm", IDYES);
    asked = yes.Text();
  });
  SendMessageA(RemoveButton(), BM_CLICK, 0, 0);
  user.join();
  EXPECT_EQ(kRemoveQuestion, asked);
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "A"));
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "B"));
  EXPECT_EQ((std::vector<std::string>{"A - c:\\A.exe", "B - c:\\B.exe"}), Lines(panel_.GetList()));
  EXPECT_EQ(0, Session().Count());
}

}  // namespace
