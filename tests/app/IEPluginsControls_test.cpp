// The plug-in tool's panel over sandboxed registrations: one line per
// add-on with its kind, the single "Remove Plugin" button, and removals
// that take only the registration.

#include <gtest/gtest.h>

#include "ToolPanelTest.h"
#include "app/IEPluginsControls.h"
#include "res/resource.h"

using namespace RegCheck;
using namespace testsupport;
using paneltest::PanelTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;
const HKEY kHKCR = HKEY_CLASSES_ROOT;

const char kBhoClass[] = "{AAAAAAAA-0000-0000-0000-000000000001}";
const char kBarClass[] = "{BBBBBBBB-0000-0000-0000-000000000002}";

std::string ClassKey(const std::string& classId) { return "CLSID\\" + classId; }

class IEPluginsControlsTest : public PanelTest {
 protected:
  void PlantThree() {
    SetString(kHKCR, ClassKey(kBhoClass), "", "Helper Thing");
    SetString(kHKCR, ClassKey(kBhoClass) + "\\InprocServer32", "", "c:\\h\\helper.dll");
    CreateKey(kHKLM, std::string(kBHOKeyPath) + "\\" + kBhoClass);
    SetString(kHKCR, ClassKey(kBarClass), "", "Bar Thing");
    SetString(kHKCR, ClassKey(kBarClass) + "\\InprocServer32", "", "c:\\b\\bar.dll");
    SetString(kHKLM, kToolbarKeyPath, kBarClass, "");
    SetString(kHKLM, std::string(kExtensionsKeyPath) + "\\{E}", "ButtonText", "Another Button");
  }
  void Build() {
    host_.onCommand = [this](UINT id) { return panel_.OnCommand(id); };
    ASSERT_TRUE(panel_.Create(host_));
    panel_.Show();
  }
  HWND RemoveButton() { return panel_.GetSecondButton()->GetHwnd(); }
  const PluginEntry* LineEntry(int line) {
    return reinterpret_cast<const PluginEntry*>(panel_.GetList().GetItemData(line));
  }

  CIEPluginsControls panel_;
};

TEST_F(IEPluginsControlsTest, ListsEveryKindSortedWithOneButtonInTheSecondPlace) {
  PlantThree();
  // A helper object whose class is not registered: just the suffix.
  CreateKey(kHKLM, std::string(kBHOKeyPath) + "\\{DEAD0000-0000-0000-0000-000000000000}");
  Build();

  EXPECT_EQ((std::vector<std::string>{" (BHO)", "Another Button (Extension)", "Bar Thing (Toolbar)",
                                      "Helper Thing (BHO)"}),
            Lines(panel_.GetList()));
  EXPECT_EQ(kPluginToolbar, LineEntry(2)->Kind());
  EXPECT_EQ(nullptr, panel_.GetFirstButton());
  ASSERT_NE(nullptr, panel_.GetSecondButton());
  EXPECT_EQ("Remove Plugin", panel_.GetSecondButton()->GetWindowText());
  EXPECT_EQ(IDC_IEPLUGIN_REMOVE, static_cast<UINT>(panel_.GetSecondButton()->GetDlgCtrlID()));
  RECT r = panel_.GetSecondButton()->GetWindowRect();
  MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(271, r.left);
  EXPECT_EQ(272, r.top);
  // Frame, list, caption and the one button; nothing in the first place.
  EXPECT_EQ(4u, panel_.Controls().size());
  EXPECT_EQ(host_.GetHwnd(), ChildWindowFromPointEx(host_, POINT{227, 284}, CWP_SKIPINVISIBLE));
  EXPECT_TRUE(IsWindowEnabled(RemoveButton()));
}

TEST_F(IEPluginsControlsTest, RemovingAToolbarTakesOnlyItsValueAndKeepsTheClass) {
  PlantThree();
  Build();
  panel_.GetList().SetCurSel(1);
  ASSERT_EQ("Bar Thing (Toolbar)", panel_.GetList().GetText(1));
  EXPECT_EQ("Selected plugin will be removed from registry.\nAre you sure?",
            PressAndAnswer(RemoveButton(), "Confirm", IDYES));
  EXPECT_FALSE(ValueExists(kHKLM, kToolbarKeyPath, kBarClass));
  EXPECT_TRUE(KeyExists(kHKLM, kToolbarKeyPath));
  EXPECT_TRUE(ValueExists(kHKCR, ClassKey(kBarClass) + "\\InprocServer32", ""));
  EXPECT_TRUE(KeyExists(kHKLM, std::string(kBHOKeyPath) + "\\" + kBhoClass));
  EXPECT_EQ((std::vector<std::string>{std::string("IE toolbar entry ") + kBarClass}), Descriptions());
  EXPECT_EQ(0, panel_.GetList().GetCurSel());
  EXPECT_EQ((std::vector<std::string>{"Another Button (Extension)", "Helper Thing (BHO)"}),
            Lines(panel_.GetList()));
}

TEST_F(IEPluginsControlsTest, NoAnswerOrNoLineKeepsEverythingAndTheLastRemovalDisables) {
  PlantThree();
  Build();
  panel_.GetList().SetCurSel(-1);
  EXPECT_EQ("", PressAndAnswer(RemoveButton(), "Confirm", IDYES, 1000)) << "asked with no line";
  panel_.GetList().SetCurSel(0);
  EXPECT_NE("", PressAndAnswer(RemoveButton(), "Confirm", IDNO));
  EXPECT_EQ(3, panel_.GetList().GetCount());
  EXPECT_EQ(0, Session().Count());

  for (int i = 0; i < 3; ++i) PressAndAnswer(RemoveButton(), "Confirm", IDYES);
  EXPECT_EQ(0, panel_.GetList().GetCount());
  EXPECT_FALSE(IsWindowEnabled(RemoveButton()));
  EXPECT_FALSE(KeyExists(kHKLM, std::string(kExtensionsKeyPath) + "\\{E}"));
  EXPECT_FALSE(KeyExists(kHKLM, std::string(kBHOKeyPath) + "\\" + kBhoClass));
  EXPECT_TRUE(KeyExists(kHKCR, ClassKey(kBhoClass)));
  EXPECT_EQ(3, Session().Count());
}

}  // namespace
