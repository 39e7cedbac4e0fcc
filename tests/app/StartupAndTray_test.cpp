// Start-up switches, the main frame and the tray icon of the running
// program.

#include "AppFixture.h"

#include "app/SplashDlg.h"
#include "engine/ScanCategories.h"
#include "res/resource.h"

using namespace apptest;
using namespace RegCheck;

namespace {

class StartupTest : public AppTest {
 protected:
  LRESULT Tray(UINT mouseMessage) {
    return SendMessageA(Frame().GetHwnd(), CMainFrame::TrayMessage(),
                        Frame().GetTrayIcon().GetId(), mouseMessage);
  }
  HWND FrameButton(int id) { return Frame().GetDlgItem(id); }
};

// The visible top-level window of this process titled "Varnholt" that is
// not a dialog: the main frame, as another thread finds it.
BOOL CALLBACK FindFrame(HWND top, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  char cls[16] = "";
  GetClassNameA(top, cls, sizeof cls);
  if (pid == GetCurrentProcessId() && lstrcmpA(cls, "#32770") != 0 &&
      WindowTextOf(top) == "Varnholt") {
    *reinterpret_cast<HWND*>(param) = top;
    return FALSE;
  }
  return TRUE;
}

TEST_F(StartupTest, NoSwitchShowsTheSkinnedFrameWithItsTrayIcon) {
  Start();
  HWND hwnd = Frame().GetHwnd();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ("Varnholt", Frame().GetWindowText());
  RECT r = Frame().GetWindowRect();
  EXPECT_EQ(668, r.right - r.left);
  EXPECT_EQ(437, r.bottom - r.top);
  EXPECT_EQ(0x820A0000u, Frame().GetStyle() & ~static_cast<DWORD>(WS_VISIBLE | WS_CLIPSIBLINGS));
  EXPECT_EQ(0u, Frame().GetExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_EQ(nullptr, GetMenu(hwnd));
  // The window is cut along the magenta corners of its skin.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(hwnd, region));
  DeleteObject(region);

  RECT area = Work().GetWindowRect();
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&area), 2);
  EXPECT_EQ(256, area.left);
  EXPECT_EQ(95, area.top);
  EXPECT_EQ(668 - 18, area.right);
  EXPECT_EQ(437 - 35, area.bottom);

  RECT close;
  GetWindowRect(FrameButton(IDC_CLOSE), &close);
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&close), 2);
  EXPECT_EQ(668 - 32, close.left);
  EXPECT_EQ(6, close.top);

  CTrayIcon& tray = Frame().GetTrayIcon();
  EXPECT_TRUE(tray.IsShown());
  EXPECT_EQ("Varnholt", tray.GetTooltip());
  EXPECT_EQ(CMainFrame::TrayMessage(), tray.GetCallbackMessage());
  EXPECT_NE(0u, CMainFrame::TrayMessage());
  EXPECT_TRUE(tray.GetBalloonHistory().empty());
  EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0)));
  EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0)));
}

TEST_F(StartupTest, SplashIsShownUnlessSwitchedOff) {
  SetOption("ShowSplash", 1);
  SIZE seen = {0, 0};
  // The splash has no child controls: find it by its size.
  std::thread watcher([&] {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000 && seen.cx == 0) {
      HWND found = nullptr;
      for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
           w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
        RECT r;
        GetWindowRect(w, &r);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) &&
            r.right - r.left == CSplashDlg::kWidth)
          found = w;
      }
      if (found) {
        RECT r;
        GetWindowRect(found, &r);
        seen = SIZE{r.right - r.left, r.bottom - r.top};
      }
      Sleep(10);
    }
  });
  Start();
  watcher.join();
  EXPECT_EQ(620, seen.cx);
  EXPECT_EQ(226, seen.cy);
  EXPECT_TRUE(Frame().IsWindowVisible());
}

TEST_F(StartupTest, FastStartsHiddenInTheTrayWithoutScanning) {
  SetOption("ShowSplash", 1);  // background mode never shows the splash
  PlantMissingSharedDll("a.dll");
  DWORD before = GetTickCount();
  Start("/fast");
  EXPECT_LT(GetTickCount() - before, 1900u) << "the splash held the start";
  EXPECT_FALSE(Frame().IsWindowVisible());
  EXPECT_TRUE(Frame().GetTrayIcon().IsShown());
  EXPECT_EQ("Varnholt", Frame().GetTrayIcon().GetTooltip());
  EXPECT_TRUE(Frame().GetTrayIcon().GetBalloonHistory().empty());
  EXPECT_EQ(0, Panel().GetResults().Count());
  EXPECT_EQ("Not Scanned", Status(kCatSharedDll));

  // A double-click on the tray icon brings the window up.
  EXPECT_EQ(0, Tray(WM_LBUTTONDBLCLK));
  EXPECT_TRUE(Frame().IsWindowVisible());
  EXPECT_FALSE(IsIconic(Frame().GetHwnd()));
}

// Whether the notification area holds the frame's icon: a modify of an icon
// it does not know fails.
bool TrayHolds(HWND owner, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = id;
  data.uFlags = NIF_TIP;
  lstrcpynA(data.szTip, "Varnholt", sizeof data.szTip);
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// A restarted Explorer starts with an empty notification area and tells
// every top-level window with "TaskbarCreated"; a hidden program must come
// back into it or be unreachable.
TEST_F(StartupTest, TrayIconReturnsWhenTheTaskbarIsRecreated) {
  Start("/fast");
  HWND hwnd = Frame().GetHwnd();
  const UINT id = Frame().GetTrayIcon().GetId();
  ASSERT_TRUE(TrayHolds(hwnd, id));

  NOTIFYICONDATAA gone{};
  gone.cbSize = sizeof gone;
  gone.hWnd = hwnd;
  gone.uID = id;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
  ASSERT_FALSE(TrayHolds(hwnd, id));

  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  ASSERT_NE(0u, taskbarCreated);
  SendMessageA(hwnd, taskbarCreated, 0, 0);
  EXPECT_TRUE(TrayHolds(hwnd, id));
  EXPECT_TRUE(Frame().GetTrayIcon().IsShown());
  EXPECT_FALSE(Frame().IsWindowVisible());

  // A second announcement while the icon is still there keeps it, once.
  SendMessageA(hwnd, taskbarCreated, 0, 0);
  EXPECT_TRUE(Frame().GetTrayIcon().IsShown());
  EXPECT_TRUE(TrayHolds(hwnd, id));
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
  EXPECT_FALSE(TrayHolds(hwnd, id)) << "the icon was added twice";

  // Back in the tray, it still brings the window up.
  SendMessageA(hwnd, taskbarCreated, 0, 0);
  Tray(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(Frame().IsWindowVisible());
}

TEST_F(StartupTest, ScanSwitchScansHiddenAndReportsThroughTheTray) {
  SetOption("UseSound", 1);
  SetOption("PromptFix", 1);
  PlantMissingSharedDll("bg1.dll");
  PlantMissingSharedDll("bg2.dll");
  std::atomic<int> frameVisibleAtPrompt{-1};
  std::string prompt;
  std::thread answer([&] {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
      if (HWND box = FindOwnDialog("Varnholt", IDNO)) {
        HWND frame = nullptr;
        EnumWindows(&FindFrame, reinterpret_cast<LPARAM>(&frame));
        // The frame exists (titled) but is hidden: FindFrame sees it.
        frameVisibleAtPrompt = frame ? IsWindowVisible(frame) : -2;
        prompt = BoxText(box);
        Press(box, IDNO);
        return;
      }
      Sleep(10);
    }
  });
  // The progress dialog hides itself in a background scan; whether it was
  // on screen is read as the run ends.
  std::vector<int> progressVisible;
  RunEndHook runEnd([&](HWND dialog) { progressVisible.push_back(IsWindowVisible(dialog)); });
  Start("/scan");
  answer.join();

  EXPECT_EQ(0, frameVisibleAtPrompt.load());
  char expected[100];
  snprintf(expected, sizeof expected,
           "%d errors were found. Do you want to fix all these errors now?",
           Panel().GetResults().Count());
  EXPECT_EQ(expected, prompt);
  EXPECT_FALSE(Frame().IsWindowVisible());
  EXPECT_EQ("(2/2) Errors", Status(kCatSharedDll));
  for (int row = 0; row < CCleanListControl::kRowCount; ++row)
    EXPECT_NE("Not Scanned", List().StatusText(row)) << row;
  const std::vector<std::string> balloons = Frame().GetTrayIcon().GetBalloonHistory();
  ASSERT_EQ(2u, balloons.size());
  EXPECT_EQ("Varnholt is performing a background scan.", balloons[0]);
  EXPECT_EQ("Varnholt has finished the background scan.", balloons[1]);
  EXPECT_EQ(2u, ReadSetting("regSharedDll"));
  EXPECT_EQ(1, GetAppOptions().GetScanAtStart());

  // Opening the window ends the background state: the next scan is an
  // ordinary one without balloons.
  Tray(WM_LBUTTONDBLCLK);
  EXPECT_EQ(0, GetAppOptions().GetScanAtStart());
  EXPECT_TRUE(Frame().IsWindowVisible());
  TickOnly(kCatFonts);
  BoxAnswerer clean("Varnholt", IDOK);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(clean.Wait());
  EXPECT_EQ(2u, Frame().GetTrayIcon().GetBalloonHistory().size());
  // Hidden all through the background scan (an ordinary scan's dialog is on
  // screen: the scan-flow tests find and press it).
  ASSERT_EQ(2u, progressVisible.size());
  EXPECT_EQ(0, progressVisible[0]);
}

struct MenuItem {
  UINT id;
  bool separator;
  std::string text;
};

TEST_F(StartupTest, TrayMenuHasItsEntriesAndAboutForcesTheAboutPanel) {
  Start();
  std::vector<MenuItem> items;
  std::thread reader([&] {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
      HWND menuWnd = nullptr;
      for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w;
           w = FindWindowExA(nullptr, w, "#32768", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId()) menuWnd = w;
      }
      HMENU menu = menuWnd && IsWindowVisible(menuWnd)
                       ? reinterpret_cast<HMENU>(SendMessageA(menuWnd, MN_GETHMENU, 0, 0))
                       : nullptr;
      if (menu) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
          char text[64] = "";
          MENUITEMINFOA info{};
          info.cbSize = sizeof info;
          info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
          info.dwTypeData = text;
          info.cch = sizeof text;
          GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
          items.push_back({info.wID, (info.fType & MFT_SEPARATOR) != 0, text});
        }
        PostMessageA(menuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        SendMessageA(menuWnd, WM_CANCELMODE, 0, 0);
        return;
      }
      Sleep(10);
    }
  });
  // Returns once the menu has closed.
  EXPECT_EQ(0, Tray(WM_RBUTTONDOWN));
  reader.join();
  ASSERT_EQ(6u, items.size());
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_SHOW), items[0].id);
  EXPECT_EQ("Show Main Window", items[0].text);
  EXPECT_TRUE(items[1].separator);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_HOMEPAGE), items[2].id);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_ABOUT), items[3].id);
  EXPECT_EQ("About...", items[3].text);
  EXPECT_TRUE(items[4].separator);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_EXIT), items[5].id);
  int commands = 0;
  for (const MenuItem& item : items) commands += item.separator ? 0 : 1;
  EXPECT_EQ(4, commands);

  // The About button shows panel 6; pressing it again rebuilds nothing.
  Click(FrameButton(IDC_PANEL_ABOUT));
  ASSERT_EQ(CWorkArea::kAbout, Work().GetPanelIndex());
  EXPECT_EQ("", Work().GetDescription().GetWindowText());
  EXPECT_FALSE(Panel().GetScanButton().IsWindowVisible());
  Work().GetDescription().SetWindowText("sentinel");
  Click(FrameButton(IDC_PANEL_ABOUT));
  EXPECT_EQ("sentinel", Work().GetDescription().GetWindowText());

  // "About..." from the tray, with the window minimised to the tray: the
  // window comes back and the About panel is shown again.
  Click(FrameButton(IDC_MINIMIZE));
  ASSERT_FALSE(Frame().IsWindowVisible());
  SendMessageA(Frame().GetHwnd(), WM_COMMAND, ID_TRAY_ABOUT, 0);
  EXPECT_TRUE(Frame().IsWindowVisible());
  EXPECT_EQ(CWorkArea::kAbout, Work().GetPanelIndex());
  EXPECT_EQ("", Work().GetDescription().GetWindowText());
}

TEST_F(StartupTest, PanelButtonsSwitchPanelsAndMinimiseHidesCompletely) {
  Start();
  Click(FrameButton(IDC_PANEL_STARTUP));
  EXPECT_EQ(CWorkArea::kStartup, Work().GetPanelIndex());
  EXPECT_EQ(0u, Work().GetDescription().GetWindowText().find("This section contain list of programs"));
  EXPECT_FALSE(Panel().GetScanButton().IsWindowVisible());
  Click(FrameButton(IDC_PANEL_UNINSTALL));
  EXPECT_EQ(CWorkArea::kUninstall, Work().GetPanelIndex());
  EXPECT_EQ(0u, Work().GetDescription().GetWindowText().find("In this section you can remove"));
  Click(FrameButton(IDC_PANEL_SCAN));
  EXPECT_EQ(CWorkArea::kScan, Work().GetPanelIndex());
  EXPECT_TRUE(Panel().GetScanButton().IsWindowVisible());
  EXPECT_TRUE(List().IsWindowVisible());

  Click(FrameButton(IDC_MINIMIZE));
  EXPECT_FALSE(Frame().IsWindowVisible());
  EXPECT_TRUE(Frame().GetTrayIcon().IsShown());
  // "Show Main Window" of the tray menu brings it back, restored.
  SendMessageA(Frame().GetHwnd(), WM_COMMAND, ID_TRAY_SHOW, 0);
  EXPECT_TRUE(Frame().IsWindowVisible());
  EXPECT_FALSE(IsIconic(Frame().GetHwnd()));
}

TEST_F(StartupTest, CloseButtonEndsTheProgram) {
  Start();
  HWND hwnd = Frame().GetHwnd();
  Click(FrameButton(IDC_CLOSE));
  bool quit = false;
  DWORD start = GetTickCount();
  while (!quit && GetTickCount() - start < 3000) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) quit = true;
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(quit);
  EXPECT_FALSE(Frame().GetTrayIcon().IsShown());
}

}  // namespace
