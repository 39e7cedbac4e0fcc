#pragma once
// Screenshots of a top-level window for people to look at, taken from the
// screen only while no other window (another test's, on the same display)
// covers any part of it.

#include <windows.h>

#include <string>
#include <vector>

#include "support/ProcessRunner.h"
#include "support/gui/MessagePump.h"
#include "support/gui/PixelCapture.h"

namespace apptest {

// True when every point of a 16 x 16 grid over `top` hits `top` or one of
// its children.
inline bool Uncovered(HWND top) {
  RECT r;
  GetWindowRect(top, &r);
  for (int i = 0; i < 16; ++i)
    for (int j = 0; j < 16; ++j) {
      POINT p{r.left + 2 + (r.right - r.left - 4) * i / 15,
              r.top + 2 + (r.bottom - r.top - 4) * j / 15};
      HWND hit = WindowFromPoint(p);
      // Shaped windows leave their cut corners to what lies below.
      if (hit && hit != top && GetAncestor(hit, GA_ROOT) != top) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const bool shaped = GetWindowRgn(top, region) != ERROR;
        const bool inside = shaped && PtInRegion(region, p.x - r.left, p.y - r.top);
        DeleteObject(region);
        if (!shaped || inside) return false;
      }
    }
  return true;
}

// Moves `top` to `at`, keeps it on top and writes what the screen shows of
// it to `name` (a PNG file in the build tree's "screenshots" folder).
inline bool WriteScreenshot(HWND top, POINT at, const std::string& name) {
  SetWindowPos(top, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  CreateDirectoryA(testsupport::BuildTreeFile("screenshots").c_str(), nullptr);
  for (int attempt = 0; attempt < 50; ++attempt) {
    SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    guitest::PumpFor(100);
    if (!Uncovered(top)) continue;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!guitest::CaptureWindow(top, false, pixels, width, height)) return false;
    if (!Uncovered(top)) continue;
    return guitest::WritePng(testsupport::BuildTreeFile("screenshots\\" + name), pixels, width,
                             height);
  }
  return false;
}

}  // namespace apptest
