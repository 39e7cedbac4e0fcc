// Every screen of the program at the screen DPI this run was given
// (VARNHOLT_LOGPIXELS, set in the prefix copy before Wine started; 96 when
// unset): each visible static and button text fits its control, measured
// with DrawText in the control's own font, and each visible control lies
// inside its parent's client area. Registered once per DPI (96, 120, 144);
// a picture of each screen goes to <build>/screens-<dpi>/.

#include "AppFixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <sstream>

#include "app/AppFonts.h"
#include "app/FixProgressDlg.h"
#include "app/SchedulerDlg.h"
#include "engine/ScanCategories.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"
#include "support/gui/PixelCapture.h"

using namespace apptest;
using namespace RegCheck;

namespace {

int ExpectedDpi() {
  const char* value = getenv("VARNHOLT_LOGPIXELS");
  return value && *value ? atoi(value) : USER_DEFAULT_SCREEN_DPI;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = "";
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::string Describe(HWND hwnd) {
  std::ostringstream out;
  out << ClassOf(hwnd) << " #" << GetDlgCtrlID(hwnd) << " \"" << WindowTextOf(hwnd) << "\"";
  return out.str();
}

// Size DrawText gives `text` in `font` when it may wrap at `width` (or is
// kept on one line).
SIZE Measure(HWND hwnd, HFONT font, const std::string& text, int width, UINT format) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT r = {0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

// The faults of one visible control: outside its parent, or a text that
// does not fit.
void CheckControl(HWND hwnd, const std::string& screen, std::vector<std::string>& faults) {
  const HWND parent = GetParent(hwnd);
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RECT inside;
  GetClientRect(parent, &inside);
  std::ostringstream where;
  where << screen << ": " << Describe(hwnd) << " at (" << r.left << "," << r.top << ")-(" << r.right
        << "," << r.bottom << ")";
  if (r.left < 0 || r.top < 0 || r.right > inside.right || r.bottom > inside.bottom) {
    faults.push_back(where.str() + " lies outside its parent's client area " +
                     std::to_string(inside.right) + "x" + std::to_string(inside.bottom));
  }

  const std::string text = WindowTextOf(hwnd);
  if (text.empty()) return;
  const std::string cls = ClassOf(hwnd);
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  RECT client;
  GetClientRect(hwnd, &client);
  int width = client.right;
  UINT format = 0;
  if (lstrcmpiA(cls.c_str(), "Static") == 0) {
    const LONG type = style & SS_TYPEMASK;
    // Bitmaps and icons carry no text to fit; ellipsis styles shorten
    // paths and counters on purpose.
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP)
      return;
    if (style & SS_ELLIPSISMASK) return;
    format = type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  } else if (lstrcmpiA(cls.c_str(), "Button") == 0) {
    const LONG type = style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) return;
    format = DT_SINGLELINE;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
        type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
      // The box and the gap after it, as the button draws them.
      width -= GetSystemMetrics(SM_CXMENUCHECK) + exmfc::Scale(4);
    } else {
      // Push buttons keep a margin for their edge and focus frame.
      width -= 2 * exmfc::Scale(5);
    }
  } else {
    return;
  }
  const SIZE need = Measure(hwnd, font, text, width, format);
  if (need.cx > width || need.cy > client.bottom) {
    std::ostringstream fault;
    fault << where.str() << ": text needs " << need.cx << "x" << need.cy << ", has " << width << "x"
          << client.bottom;
    faults.push_back(fault.str());
  }
}

// Faults of every visible control under `top`, in "screen: ..." lines.
std::vector<std::string> CheckScreen(HWND top, const std::string& screen) {
  std::vector<HWND> children;
  EnumChildWindows(top, &CollectChild, reinterpret_cast<LPARAM>(&children));
  std::vector<std::string> faults;
  int visible = 0;
  for (HWND child : children) {
    if (!IsWindowVisible(child)) continue;
    // Wine draws the time picker's own spin part one pixel past the
    // picker's edge at every DPI; it is the control's inside, not ours.
    if (ClassOf(GetParent(child)) == DATETIMEPICK_CLASSA) continue;
    ++visible;
    CheckControl(child, screen, faults);
  }
  if (visible == 0) faults.push_back(screen + ": no visible control to check");
  return faults;
}

std::string Lines(const std::vector<std::string>& faults) {
  std::string all;
  for (const std::string& f : faults) all += f + "\n";
  return all;
}

void SaveShot(HWND hwnd, const std::string& name) {
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(guitest::CaptureWindow(hwnd, false, pixels, width, height)) << name;
  const char* dir = getenv("VARNHOLT_PREFIX_DIR");
  std::string path = std::string(dir ? dir : ".") + "/screens-" + std::to_string(ExpectedDpi());
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  CreateDirectoryA(path.c_str(), nullptr);
  EXPECT_TRUE(guitest::WritePng(path + "\\" + name + ".png", pixels, width, height)) << name;
}

void Settle(HWND top) {
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG msg;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 200) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
}

const char* const kPanelNames[CWorkArea::kPanelCount] = {
    "scan", "ieplugins", "startup", "uninstall", "restore", "options", "about"};

class DpiLayoutTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    // The prefix copy was set to this DPI before Wine started: a run that
    // did not get it would test nothing new.
    ASSERT_EQ(ExpectedDpi(), exmfc::ScreenDpi());
  }

  // Each row's label and status text fit their columns in the row font.
  void ExpectRowsFit(const char* when) {
    for (int row = 0; row < CCleanListControl::kRowCount; ++row) {
      const RECT label = List().LabelRect(row);
      const RECT status = List().StatusRect(row);
      const SIZE labelNeeds = Measure(List().GetHwnd(), GetAppFont(AppFont::kList),
                                      CCleanListControl::LabelOf(row), 0, DT_SINGLELINE);
      const std::string statusText = List().StatusText(row);
      const SIZE statusNeeds =
          Measure(List().GetHwnd(), GetAppFont(AppFont::kList), statusText, 0, DT_SINGLELINE);
      EXPECT_LE(labelNeeds.cx, label.right - label.left)
          << when << ": " << CCleanListControl::LabelOf(row);
      EXPECT_LE(labelNeeds.cy, label.bottom - label.top)
          << when << ": " << CCleanListControl::LabelOf(row);
      EXPECT_LE(statusNeeds.cx, status.right - status.left) << when << ": " << statusText;
      EXPECT_GE(status.left, label.right) << when << ": status overlaps the label column";
    }
  }
};

TEST_F(DpiLayoutTest, MainFrameAndEveryPanelFit) {
  Start();
  const HWND frame = Frame().GetHwnd();
  RECT r;
  GetWindowRect(frame, &r);
  // The frame grows with the DPI, so its skin and layout have room for the
  // larger fonts.
  EXPECT_EQ(exmfc::ScaleTo(CMainFrame::kWidth, ExpectedDpi()), r.right - r.left);
  EXPECT_EQ(exmfc::ScaleTo(CMainFrame::kHeight, ExpectedDpi()), r.bottom - r.top);
  // The shape cut from the skin grows with the frame: one left at its
  // 96-DPI size would cut off the frame's right and bottom parts.
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(frame, shape));
  RECT box;
  GetRgnBox(shape, &box);
  DeleteObject(shape);
  EXPECT_GT(box.right, r.right - r.left - exmfc::Scale(3));
  EXPECT_GT(box.bottom, r.bottom - r.top - exmfc::Scale(3));
  for (int panel = 0; panel < CWorkArea::kPanelCount; ++panel) {
    Work().SelectPanelForced(panel);
    Settle(frame);
    ASSERT_EQ(panel, Work().GetPanelIndex());
    const std::string name = std::string("main-") + kPanelNames[panel];
    const std::vector<std::string> faults = CheckScreen(frame, name);
    EXPECT_TRUE(faults.empty()) << Lines(faults);
    SaveShot(frame, name);
  }
  Work().SelectPanelForced(CWorkArea::kScan);
  ExpectRowsFit("before a scan");
}

TEST_F(DpiLayoutTest, ScanProgressAndDetailsDialogsFit) {
  SetOption("UseSound", 0);
  for (int i = 0; i < 120; ++i) PlantMissingSharedDll("dpi" + std::to_string(i) + ".dll");
  Start();
  TickOnly(kCatSharedDll | kCatFonts);

  std::vector<std::string> progressFaults;
  int progressRuns = 0;
  RunEndHook progress([&](HWND dialog) {
    // A short run ends before the dialog was ever shown.
    if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNA);
    Settle(dialog);
    progressFaults = CheckScreen(dialog, "scan progress");
    SaveShot(dialog, "scan-progress");
    ++progressRuns;
  });
  BoxAnswerer prompt("Varnholt", IDNO, 60000);
  Click(Panel().GetScanButton());
  ASSERT_TRUE(prompt.Wait());
  ASSERT_EQ(1, progressRuns);
  EXPECT_TRUE(progressFaults.empty()) << Lines(progressFaults);

  Settle(Frame().GetHwnd());
  ExpectRowsFit("after a scan");
  EXPECT_EQ("(120/120) Errors", Status(kCatSharedDll));
  const std::vector<std::string> scanned = CheckScreen(Frame().GetHwnd(), "main after scan");
  EXPECT_TRUE(scanned.empty()) << Lines(scanned);
  SaveShot(Frame().GetHwnd(), "main-after-scan");

  std::vector<std::string> detailsFaults;
  DialogDriver details(IDC_SELECT_ALL, [&](HWND dialog) {
    Sleep(200);
    detailsFaults = CheckScreen(dialog, "details");
    SaveShot(dialog, "details");
    Press(dialog, IDOK);
  });
  Click(List().GetRow(CCleanListControl::RowOfCategory(kCatSharedDll))->details.GetHwnd());
  ASSERT_TRUE(details.Wait());
  EXPECT_TRUE(detailsFaults.empty()) << Lines(detailsFaults);
}

TEST_F(DpiLayoutTest, FixProgressDialogFits) {
  Start();
  CFixProgressDlg dialog;
  ASSERT_TRUE(dialog.CreateModeless(Frame().GetHwnd()));
  dialog.ShowWindow(SW_SHOW);
  dialog.SetTotal(12345);
  Settle(dialog.GetHwnd());
  const std::vector<std::string> faults = CheckScreen(dialog.GetHwnd(), "fix progress");
  EXPECT_TRUE(faults.empty()) << Lines(faults);
  SaveShot(dialog.GetHwnd(), "fix-progress");
  dialog.DestroyWindow();
}

TEST_F(DpiLayoutTest, SchedulerDialogFits) {
  // The task scheduler keeps its state under HKEY_LOCAL_MACHINE, which the
  // sandbox hides; Cancel leaves any task as it was.
  ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr));
  Start();
  Work().SelectPanelForced(CWorkArea::kOptions);
  Settle(Frame().GetHwnd());
  std::vector<std::string> faults;
  bool buttonsInside = false;
  DialogDriver driver(IDC_SCHED_ENABLE, [&](HWND dialog) {
    Sleep(200);
    faults = CheckScreen(dialog, "scheduler");
    RECT client;
    GetClientRect(dialog, &client);
    buttonsInside = true;
    for (int id : {IDOK, IDCANCEL}) {
      RECT b;
      GetWindowRect(GetDlgItem(dialog, id), &b);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&b), 2);
      buttonsInside = buttonsInside && b.right <= client.right && b.bottom <= client.bottom;
    }
    SaveShot(dialog, "scheduler");
    Press(dialog, IDCANCEL);
  });
  Click(GetDlgItem(Work().GetHwnd(), IDC_OPT_SCHEDULE));
  ASSERT_TRUE(driver.Wait());
  EXPECT_TRUE(buttonsInside) << "OK or Cancel lies outside the scheduler dialog";
  EXPECT_TRUE(faults.empty()) << Lines(faults);
}

}  // namespace
