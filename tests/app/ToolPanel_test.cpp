// The layout the three tool panels share, how their lines are drawn, and
// that a scan's cancel does not reach the tools' lists.

#include <gtest/gtest.h>

#include "ToolPanelTest.h"
#include "app/AppFonts.h"
#include "app/IEPluginsControls.h"
#include "app/StartupControls.h"
#include "app/UninstallControls.h"
#include "engine/ScanCoordinator.h"
#include "res/resource.h"
#include "support/gui/PixelCapture.h"

using namespace RegCheck;
using namespace testsupport;
using paneltest::PanelTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;
const HKEY kHKCU = HKEY_CURRENT_USER;

using ToolPanelTest = PanelTest;

RECT RectIn(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectRect(const RECT& want, const RECT& got, const char* what) {
  EXPECT_EQ(want.left, got.left) << what;
  EXPECT_EQ(want.top, got.top) << what;
  EXPECT_EQ(want.right, got.right) << what;
  EXPECT_EQ(want.bottom, got.bottom) << what;
}

void PlantStartup() {
  SetString(kHKCU, kStartupRunKeyPath, "Alpha", "c:\\a.exe");
  SetString(kHKLM, kStartupRunKeyPath, "Beta", "c:\\b.exe");
}

void PlantUninstall() {
  const std::string key = std::string(kUninstallKeyPath) + "\\tool";
  SetString(kHKLM, key, "DisplayName", "Tool");
  SetString(kHKLM, key, "UninstallString", "c:\\unins.exe");
}

void PlantPlugin() {
  SetString(kHKLM, std::string(kExtensionsKeyPath) + "\\{E}", "MenuText", "Menu Item");
}

TEST_F(ToolPanelTest, ControlsSitWhereTheLayoutPutsThem) {
  CStartupControls panel;
  ASSERT_TRUE(panel.Create(host_));
  fw::CListBox& list = panel.GetList();
  // Hidden until the holder shows them, with exactly the list's styles (the
  // list box itself drops WS_VSCROLL while every line fits).
  EXPECT_EQ(CToolListBox::kStyle & ~WS_VSCROLL, list.GetStyle() & ~(WS_VISIBLE | WS_VSCROLL));
  EXPECT_FALSE(list.IsWindowVisible());
  EXPECT_EQ(WS_CHILD, panel.GetCaption().GetStyle() & (WS_CHILD | WS_VISIBLE | WS_POPUP));
  panel.Show();

  HWND frame = list.GetParent();
  ExpectRect(RECT{3, 49, 381, 67}, RectIn(panel.GetCaption(), host_), "caption");
  ExpectRect(RECT{2, 67, 381, 267}, RectIn(frame, host_), "frame");
  ExpectRect(RECT{3, 3, 376, 197}, RectIn(list, frame), "list");
  ExpectRect(RECT{157, 272, 267, 296}, RectIn(*panel.GetFirstButton(), host_), "first button");
  ExpectRect(RECT{271, 272, 381, 296}, RectIn(*panel.GetSecondButton(), host_), "second button");
  EXPECT_EQ(0xFFFF, panel.GetCaption().GetDlgCtrlID());
  EXPECT_EQ(0, list.GetDlgCtrlID());
  EXPECT_EQ(24, list.GetItemHeight(0));
  EXPECT_EQ("List of software that run on computer startup:", panel.GetCaption().GetWindowText());
  EXPECT_EQ(GetAppFont(AppFont::kLabel).Get(), panel.GetCaption().GetFont());
  EXPECT_EQ(GetAppFont(AppFont::kButton).Get(), panel.GetFirstButton()->GetFont());
  EXPECT_EQ(GetAppFont(AppFont::kButton).Get(), panel.GetSecondButton()->GetFont());

  const std::vector<fw::CWnd*>& controls = panel.Controls();
  ASSERT_EQ(5u, controls.size());
  EXPECT_EQ(frame, controls[0]->GetHwnd());
  EXPECT_EQ(list.GetHwnd(), controls[1]->GetHwnd());
  EXPECT_EQ(panel.GetCaption().GetHwnd(), controls[2]->GetHwnd());
  EXPECT_EQ(panel.GetFirstButton(), controls[3]);
  EXPECT_EQ(panel.GetSecondButton(), controls[4]);

  panel.Hide();
  for (fw::CWnd* control : controls) EXPECT_FALSE(control->IsWindowVisible());
}

TEST_F(ToolPanelTest, TheOtherTwoPanelsCaptionsAndButtons) {
  CUninstallControls uninstall;
  CIEPluginsControls plugins;
  ASSERT_TRUE(uninstall.Create(host_));
  ASSERT_TRUE(plugins.Create(host_));
  EXPECT_EQ("List of software that is installed on this computer:",
            uninstall.GetCaption().GetWindowText());
  EXPECT_EQ("List of installed plugins for Internet Explorer:", plugins.GetCaption().GetWindowText());
  EXPECT_EQ(IDC_UNINSTALL_RUN, static_cast<UINT>(uninstall.GetFirstButton()->GetDlgCtrlID()));
  EXPECT_EQ(IDC_UNINSTALL_REMOVE, static_cast<UINT>(uninstall.GetSecondButton()->GetDlgCtrlID()));
  EXPECT_EQ(nullptr, plugins.GetFirstButton());
  ASSERT_EQ(4u, plugins.Controls().size());
  EXPECT_EQ(plugins.GetSecondButton(), plugins.Controls()[3]);
  // Commands of the other tools are not theirs.
  EXPECT_FALSE(uninstall.OnCommand(IDC_STARTUP_REMOVE));
  EXPECT_FALSE(plugins.OnCommand(IDC_UNINSTALL_REMOVE));
}

// Draws a line selected and not selected into a bitmap of our own, as the
// list's frame asks it to, and reads the pixels back: grey with white text
// or white with black text, the icon at (3, 4), the text from 26 on.
TEST_F(ToolPanelTest, LinesAreDrawnWithIconAndTextInPlace) {
  SetString(kHKCU, kStartupRunKeyPath, "WWWWWWWW", "WWWWWWWWWWWW");
  CStartupControls panel;
  ASSERT_TRUE(panel.Create(host_));
  fw::CListBox& list = panel.GetList();
  ASSERT_EQ(1, list.GetCount());
  const RECT item = list.GetItemRect(0);
  const int width = item.right - item.left;
  ASSERT_EQ(24, item.bottom - item.top);

  const COLORREF grey = RGB(119, 119, 119), white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  for (bool selected : {true, false}) {
    guitest::Dib32 dib(width, 24);
    ASSERT_TRUE(dib.Ok());
    dib.Fill(RGB(1, 2, 3));
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_LISTBOX;
    draw.itemID = 0;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = selected ? ODS_SELECTED : 0;
    draw.hwndItem = list;
    draw.hDC = dib.Dc();
    draw.rcItem = RECT{0, 0, width, 24};
    draw.itemData = list.GetItemData(0);
    SendMessageA(list.GetParent(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));

    const COLORREF back = selected ? grey : white;
    const COLORREF ink = selected ? white : black;
    for (int y = 0; y < 24; ++y)
      for (int x : {0, 1, 2, 19, 20, 24, 25, width - 1})
        EXPECT_EQ(back, dib.At(x, y)) << selected << " at " << x << "," << y;
    int iconPixels = 0, inkPixels = 0, drawnLeftOfText = 0;
    for (int y = 4; y < 20; ++y)
      for (int x = 3; x < 19; ++x) iconPixels += dib.At(x, y) != back;
    for (int y = 0; y < 24; ++y)
      for (int x = 19; x < width; ++x) {
        const COLORREF c = dib.At(x, y);
        if (c == back) continue;
        if (x < 26) ++drawnLeftOfText;
        // Smoothed glyph edges blend into the background; count the cores.
        if (x >= 26 && (ink == white ? GetRValue(c) > 200 : GetRValue(c) < 60)) ++inkPixels;
      }
    EXPECT_GT(iconPixels, 20) << "no icon, selected " << selected;
    EXPECT_GT(inkPixels, 50) << "no text, selected " << selected;
    EXPECT_EQ(0, drawnLeftOfText) << "text starts left of 26, selected " << selected;
  }
}

TEST_F(ToolPanelTest, ToolsListTheirEntriesWhileAScanCancelIsPending) {
  PlantStartup();
  PlantUninstall();
  PlantPlugin();
  CStartupControls startup;
  CUninstallControls uninstall;
  CIEPluginsControls plugins;
  ASSERT_TRUE(startup.Create(host_));
  ASSERT_TRUE(uninstall.Create(host_));
  ASSERT_TRUE(plugins.Create(host_));
  ASSERT_EQ(2, startup.GetList().GetCount());

  // The tools walk in contexts of their own, so a scan's pending cancel
  // leaves every list as it is.
  GetScanCoordinator().Cancel();
  startup.Show();
  EXPECT_EQ((std::vector<std::string>{"Alpha - c:\\a.exe", "Beta - c:\\b.exe"}), Lines(startup.GetList()));
  EXPECT_TRUE(startup.GetSecondButton()->IsWindowEnabled());
  startup.Hide();
  uninstall.Show();
  EXPECT_EQ((std::vector<std::string>{"Tool"}), Lines(uninstall.GetList()));
  EXPECT_TRUE(uninstall.GetFirstButton()->IsWindowEnabled());
  uninstall.Hide();
  plugins.Show();
  EXPECT_EQ((std::vector<std::string>{"Menu Item (Extension)"}), Lines(plugins.GetList()));
  EXPECT_TRUE(plugins.GetSecondButton()->IsWindowEnabled());
  GetScanCoordinator().ClearCancel();
}

}  // namespace

// ------------------------------------------------------------ in the program

#include "AppFixture.h"
#include "app/BackupControls.h"
#include "support/ProcessRunner.h"

namespace {

class ToolPanelInAppTest : public apptest::AppTest {
 protected:
  void Screenshot(const char* name) {
    HWND frame = Frame().GetHwnd();
    SetWindowPos(frame, HWND_TOPMOST, 200, 150, 0, 0, SWP_NOSIZE);
    guitest::PumpFor(300);
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(guitest::CaptureWindow(frame, false, pixels, width, height));
    CreateDirectoryA(testsupport::BuildTreeFile("screenshots").c_str(), nullptr);
    EXPECT_TRUE(guitest::WritePng(testsupport::BuildTreeFile(std::string("screenshots\\") + name),
                                  pixels, width, height));
  }
  CToolPanel& Tool(int index) { return dynamic_cast<CToolPanel&>(Work().GetPanel(index)); }
  paneltest::BoxLock lock_;
};

TEST_F(ToolPanelInAppTest, EachToolShowsItsEntries) {
  SetString(kHKLM, kStartupRunKeyPath, "Updater", "\"C:\\Program Files\\Upd\\upd.exe\" /bg");
  SetString(kHKCU, kStartupRunKeyPath, "Messenger", "C:\\Apps\\msg.exe -tray");
  SetString(kHKCU, kStartupRunKeyPath, "Varnholt", "C:\\Varnholt\\Varnholt.exe /scan");
  for (const char* name : {"Photo Editor 3", "Archive Tool", "Office Suite"}) {
    const std::string key = std::string(kUninstallKeyPath) + "\\" + name;
    SetString(kHKLM, key, "DisplayName", name);
    SetString(kHKLM, key, "UninstallString", std::string("C:\\Uninst\\") + name + ".exe");
  }
  const std::string bho = "{11111111-2222-3333-4444-555555555555}";
  SetString(HKEY_CLASSES_ROOT, "CLSID\\" + bho, "", "Search Helper");
  CreateKey(kHKLM, std::string(kBHOKeyPath) + "\\" + bho);
  SetString(kHKLM, std::string(kExtensionsKeyPath) + "\\{E1}", "ButtonText", "Research");
  SetString(kHKLM, kToolbarKeyPath, "{22222222-2222-3333-4444-555555555555}", "");
  Start();

  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_STARTUP, 0);
  EXPECT_EQ((std::vector<std::string>{"Messenger - C:\\Apps\\msg.exe -tray",
                                      "Updater - \"C:\\Program Files\\Upd\\upd.exe\" /bg"}),
            paneltest::LinesOf(Tool(CWorkArea::kStartup).GetList()));
  Screenshot("startup.png");
  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_UNINSTALL, 0);
  EXPECT_EQ((std::vector<std::string>{"Archive Tool", "Office Suite", "Photo Editor 3"}),
            paneltest::LinesOf(Tool(CWorkArea::kUninstall).GetList()));
  Screenshot("uninstall.png");
  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_IEPLUGINS, 0);
  EXPECT_EQ((std::vector<std::string>{" (Toolbar)", "Research (Extension)", "Search Helper (BHO)"}),
            paneltest::LinesOf(Tool(CWorkArea::kIEPlugins).GetList()));
  Screenshot("ieplugins.png");
}

// A removal from a tool goes through the work area's routing into the
// backup, and the restore panel brings it back.
TEST_F(ToolPanelInAppTest, ARemovedStartupEntryCanBeRestored) {
  SetString(kHKCU, kStartupRunKeyPath, "Helper", "C:\\helper.exe");
  Start();
  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_STARTUP, 0);
  CToolPanel& startup = Tool(CWorkArea::kStartup);
  ASSERT_EQ(1, startup.GetList().GetCount());
  {
    guitest::MessageBoxAnswerer confirm("Confirm", IDYES, 10000);
    Click(*startup.GetSecondButton());
    ASSERT_TRUE(confirm.Wait());
  }
  EXPECT_FALSE(ValueExists(kHKCU, kStartupRunKeyPath, "Helper"));
  EXPECT_EQ(0, startup.GetList().GetCount());
  EXPECT_FALSE(startup.GetFirstButton()->IsWindowEnabled());

  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_RESTORE, 0);
  auto& restore = dynamic_cast<CBackupControls&>(Work().GetPanel(CWorkArea::kRestore));
  ASSERT_EQ(1, restore.GetList().GetCount());
  EXPECT_EQ("Startup info entry Helper", restore.GetList().GetText(0));
  Click(restore.GetSelectAllButton());
  {
    guitest::MessageBoxAnswerer confirm("Confirm", IDYES, 10000);
    Click(restore.GetRestoreButton());
    ASSERT_TRUE(confirm.Wait());
  }
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "Helper"));
  SendMessageA(Work().GetHwnd(), WM_COMMAND, ID_SHOW_STARTUP, 0);
  EXPECT_EQ((std::vector<std::string>{"Helper - C:\\helper.exe"}), paneltest::LinesOf(startup.GetList()));
  EXPECT_TRUE(startup.GetFirstButton()->IsWindowEnabled());
}

}  // namespace
