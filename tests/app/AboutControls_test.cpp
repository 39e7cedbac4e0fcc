// The About panel in the running program, and its link that only newer
// Windows versions get.

#include "AppFixture.h"

#include <cstdlib>

#include "app/AboutControls.h"
#include "app/AppFonts.h"
#include "res/resource.h"
#include "UncoveredCapture.h"

using namespace apptest;

namespace {

// The visible static children of `parent`, by text.
struct Shown {
  HWND parent;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND child, LPARAM param) {
  auto* shown = reinterpret_cast<Shown*>(param);
  if (GetParent(child) == shown->parent && IsWindowVisible(child)) shown->windows.push_back(child);
  return TRUE;
}

class AboutControlsTest : public AppTest {
 protected:
  std::vector<HWND> VisibleInWorkArea() {
    Shown shown{Work().GetHwnd(), {}};
    EnumChildWindows(Work().GetHwnd(), &CollectVisible, reinterpret_cast<LPARAM>(&shown));
    return shown.windows;
  }
  RECT InWorkArea(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, Work().GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  HWND Find(const std::string& text) {
    for (HWND w : VisibleInWorkArea())
      if (WindowTextOf(w) == text) return w;
    return nullptr;
  }
};

std::string Resource(UINT id) {
  char text[256] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

TEST_F(AboutControlsTest, AboutPanelShowsNameLinkVersionAndNotice) {
  Start();
  Click(Frame().GetDlgItem(IDC_PANEL_ABOUT));
  ASSERT_EQ(CWorkArea::kAbout, Work().GetPanelIndex());
  EXPECT_EQ("", Work().GetDescription().GetWindowText());

  HWND title = Find("Varnholt");
  ASSERT_NE(nullptr, title);
  EXPECT_EQ(GetAppFont(AppFont::kTitle).Get(), reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0)));
  EXPECT_EQ(static_cast<LONG>(SS_CENTER), GetWindowLongA(title, GWL_STYLE) & SS_TYPEMASK);
  RECT r = InWorkArea(title);
  EXPECT_EQ(2, r.left);
  EXPECT_EQ(80, r.top);
  EXPECT_EQ(368, r.right);
  EXPECT_EQ(110, r.bottom);

  HWND version = Find("Version 1.37");
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(GetAppFont(AppFont::kText).Get(), reinterpret_cast<HFONT>(SendMessageA(version, WM_GETFONT, 0, 0)));
  EXPECT_EQ(156, InWorkArea(version).top);

  const std::string notice = Resource(IDS_ABOUT_NOTICE);
  ASSERT_FALSE(notice.empty());
  HWND noticeWnd = Find(notice);
  ASSERT_NE(nullptr, noticeWnd);
  // The whole notice lies inside the work area, where it can be seen.
  RECT area = Work().GetClientRect();
  RECT n = InWorkArea(noticeWnd);
  EXPECT_LE(n.bottom, area.bottom);
  EXPECT_GT(n.top, InWorkArea(version).bottom);

  // Wine reports a Windows newer than 4, so the link is there.
  ASSERT_GT(CAboutControls::WindowsMajorVersion(), 4u);
  HWND link = Work().GetDlgItem(IDC_ABOUT_LINK);
  ASSERT_NE(nullptr, link);
  EXPECT_TRUE(IsWindowVisible(link));
  EXPECT_EQ("www.varnholt.example", WindowTextOf(link));
  auto* linkObject = dynamic_cast<exmfc::CHyperLink*>(fw::CWnd::FromHandle(link));
  ASSERT_NE(nullptr, linkObject);
  EXPECT_EQ(Resource(IDS_URL_HOME), linkObject->GetTarget());
  EXPECT_EQ(0xF6F6F6u, linkObject->CurrentTextColour());
  // The link holds its whole text, centred where the place of the link is.
  r = InWorkArea(link);
  EXPECT_EQ(110, r.top);
  EXPECT_EQ(125, r.bottom);
  EXPECT_LE(r.left, 140);
  EXPECT_GE(r.right, 240);
  EXPECT_LE(std::abs((r.left + r.right) / 2 - 190), 1);
  {
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, linkObject->Font());
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, "www.varnholt.example", 20, &size);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    EXPECT_GT(size.cx, 0);
    EXPECT_LE(size.cx, r.right - r.left);
  }

  // Nothing of the other panels shows with it.
  EXPECT_EQ(4u, VisibleInWorkArea().size() - 1) << "besides the description";

  // Showing another panel hides the About texts.
  Click(Frame().GetDlgItem(IDC_PANEL_OPTIONS));
  EXPECT_FALSE(IsWindowVisible(title));
  EXPECT_FALSE(IsWindowVisible(link));
}

TEST(AboutControlsLink, IsMadeOnlyAboveWindowsFour) {
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 320, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, parent);
  {
    CAboutControls old;
    ASSERT_TRUE(old.Create(parent, 4));
    EXPECT_EQ(nullptr, GetDlgItem(parent, IDC_ABOUT_LINK));
    EXPECT_EQ(3u, old.Controls().size());
    EXPECT_EQ("Version 1.37", old.GetVersion().GetWindowText());
  }
  {
    CAboutControls newer;
    ASSERT_TRUE(newer.Create(parent, 5));
    EXPECT_NE(nullptr, GetDlgItem(parent, IDC_ABOUT_LINK));
    EXPECT_EQ(4u, newer.Controls().size());
  }
  DestroyWindow(parent);
}

TEST(AboutControlsLink, ShowsTheAddressWithoutSchemeOrSlash) {
  EXPECT_EQ("www.varnholt.example", CAboutControls::LinkText("http://www.varnholt.example/"));
  EXPECT_EQ("varnholt.example/about", CAboutControls::LinkText("https://varnholt.example/about"));
  EXPECT_EQ("varnholt.example", CAboutControls::LinkText("varnholt.example"));
  EXPECT_EQ("", CAboutControls::LinkText(""));
}

TEST_F(AboutControlsTest, Screenshot) {
  Start();
  Click(Frame().GetDlgItem(IDC_PANEL_ABOUT));
  EXPECT_TRUE(WriteScreenshot(Frame().GetHwnd(), POINT{600, 560}, "about.png"));
}

}  // namespace
