// The main screens as a person sees them: each is captured from the screen
// into a PNG under the build tree (screenshots/) and checked for the
// colours its state is drawn in.

#include "AppFixture.h"

#include <cstdlib>

#include "engine/ScanCategories.h"
#include "res/resource.h"
#include "support/gui/PixelCapture.h"

using namespace apptest;
using namespace RegCheck;

namespace {

struct Shot {
  std::vector<uint32_t> pixels;
  int width = 0;
  int height = 0;

  // Pixels of exactly `colour` (a COLORREF) inside `r` (window coordinates).
  int Count(COLORREF colour, const RECT& r) const {
    if (pixels.size() != static_cast<size_t>(width) * height) return 0;
    const uint32_t want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int n = 0;
    for (int y = std::max(0L, r.top); y < std::min<LONG>(height, r.bottom); ++y)
      for (int x = std::max(0L, r.left); x < std::min<LONG>(width, r.right); ++x)
        if (pixels[static_cast<size_t>(y) * width + x] == want) ++n;
    return n;
  }
};

std::string ShotPath(const char* name) {
  const char* build = getenv("VARNHOLT_BUILD_DIR");
  std::string dir = build ? std::string(build) + "/screenshots" : "screenshots";
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
  for (char& c : dir)
    if (c == '/') c = '\\';
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name + ".png";
}

Shot Capture(HWND hwnd, const char* name) {
  Shot shot;
  EXPECT_TRUE(guitest::CaptureWindow(hwnd, false, shot.pixels, shot.width, shot.height)) << name;
  if (!shot.pixels.empty()) {
    EXPECT_TRUE(guitest::WritePng(ShotPath(name), shot.pixels, shot.width, shot.height)) << name;
  }
  return shot;
}

class ScreensTest : public AppTest {
 protected:
  // The status column of a row, in main-window coordinates.
  RECT StatusRect(int category) {
    RECT item = List().GetItemRect(CCleanListControl::RowOfCategory(category));
    RECT r = {item.left + 240, item.top, item.right - 21, item.bottom};
    MapWindowPoints(List().GetHwnd(), Frame().GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  void Settle() {
    RedrawWindow(Frame().GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG msg;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 300) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(10);
    }
  }
};

TEST_F(ScreensTest, ScanPanelProgressDetailsAndFixPrompt) {
  SetOption("UseSound", 0);
  for (int i = 0; i < 1500; ++i) PlantMissingSharedDll("shot" + std::to_string(i) + ".dll");
  Start();
  Settle();
  Shot before = Capture(Frame().GetHwnd(), "main-before-scan");
  EXPECT_GT(before.Count(0xBBBBBB, StatusRect(kCatSharedDll)), 5) << "grey \"Not Scanned\"";
  EXPECT_EQ(0, before.Count(RGB(255, 32, 0), StatusRect(kCatSharedDll)));

  TickOnly(kCatSharedDll | kCatFonts);
  std::vector<Shot> ends;
  RunEndHook progress([&](HWND dialog) {
    // A very short run ends before the dialog was ever shown.
    if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNA);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ends.push_back(Capture(dialog, ends.empty() ? "progress" : "progress-clean"));
  });
  std::string prompt;
  std::thread answer([&] {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
      if (HWND box = FindOwnDialog("Varnholt", IDNO)) {
        Sleep(200);
        Capture(box, "fix-prompt");
        prompt = BoxText(box);
        Press(box, IDNO);
        return;
      }
      Sleep(10);
    }
  });
  Click(Panel().GetScanButton());
  answer.join();
  EXPECT_EQ("1500 errors were found. Do you want to fix all these errors now?", prompt);
  ASSERT_EQ(1u, ends.size());
  const Shot shown = ends[0];
  EXPECT_EQ(295, shown.width);
  EXPECT_EQ(268, shown.height);
  // Light counter text on the dark body; the errors counter red once errors
  // were found, never green.
  const RECT keys = {159, 132, 235, 151};
  const RECT errors = {159, 188, 235, 207};
  EXPECT_GT(shown.Count(RGB(221, 221, 221), keys), 5);
  EXPECT_GT(shown.Count(RGB(255, 32, 0), errors), 5);
  EXPECT_EQ(0, shown.Count(RGB(0, 221, 0), errors));

  Settle();
  Shot after = Capture(Frame().GetHwnd(), "main-after-scan");
  EXPECT_GT(after.Count(RGB(255, 32, 0), StatusRect(kCatSharedDll)), 5) << "red error count";
  EXPECT_GT(after.Count(RGB(0, 221, 0), StatusRect(kCatFonts)), 5) << "green \"No Errors\"";
  EXPECT_GT(after.Count(0xBBBBBB, StatusRect(kCatComObject)), 5);

  Shot details;
  DialogDriver open(1000, [&](HWND dialog) {
    Sleep(200);
    details = Capture(dialog, "details");
    Press(dialog, IDOK);
  });
  Click(List().GetRow(CCleanListControl::RowOfCategory(kCatSharedDll))->details.GetHwnd());
  ASSERT_TRUE(open.Wait());
  EXPECT_EQ(620, details.width);
  EXPECT_EQ(317, details.height);
  // The list's white body.
  EXPECT_GT(details.Count(RGB(255, 255, 255), RECT{30, 80, 590, 250}), 10000);

  // A scan that finds nothing shows its errors counter in green.
  TickOnly(kCatFonts);
  BoxAnswerer clean("Varnholt", IDOK);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(clean.Wait());
  ASSERT_EQ(2u, ends.size());
  EXPECT_GT(ends[1].Count(RGB(0, 221, 0), errors), 5);
  EXPECT_EQ(0, ends[1].Count(RGB(255, 32, 0), errors));
}

}  // namespace
