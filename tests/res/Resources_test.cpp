// The program's resources as the windows load them: every bitmap at the size
// its window or button needs, skins whose holes are exact magenta, button
// strips that blend with the skin under them, icons, strings, the tray menu,
// the wave sound and the dialog templates.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// A bitmap resource loaded as a 24-bit DIB section, read pixel by pixel.
class Dib {
 public:
  explicit Dib(int id)
      : bitmap_(static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                                0, 0, LR_CREATEDIBSECTION))) {
    std::memset(&dib_, 0, sizeof(dib_));
    if (bitmap_) GetObjectA(bitmap_, sizeof(dib_), &dib_);
  }
  ~Dib() {
    if (bitmap_) DeleteObject(bitmap_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  bool Valid() const { return bitmap_ != nullptr && dib_.dsBm.bmBits != nullptr; }
  int Width() const { return dib_.dsBm.bmWidth; }
  int Height() const { return dib_.dsBm.bmHeight; }
  int BitsPerPixel() const { return dib_.dsBm.bmBitsPixel; }

  // Colour as a COLORREF (red in the low byte), (0, 0) the top-left pixel.
  COLORREF At(int x, int y) const {
    const int stride = ((Width() * 3) + 3) & ~3;
    // Bottom-up unless the header says otherwise.
    const int row = dib_.dsBmih.biHeight > 0 ? Height() - 1 - y : y;
    const auto* p = static_cast<const uint8_t*>(dib_.dsBm.bmBits) + row * stride + x * 3;
    return RGB(p[2], p[1], p[0]);
  }

 private:
  HBITMAP bitmap_;
  DIBSECTION dib_;
};

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kWorkArea = RGB(0x44, 0x44, 0x44);

struct BitmapSize {
  int id;
  int images;  // images side by side in the strip (1 for a plain bitmap)
  int width;   // of one image
  int height;
};

// Sizes of every bitmap as the windows place them.
const BitmapSize kBitmaps[] = {
    {IDB_MAINFRAME, 1, 668, 437},
    {IDB_CLOSE, 3, 22, 21},
    {IDB_MINIMIZE, 3, 22, 21},
    {IDB_BUTTON, 4, 100, 24},
    {IDB_SCROLL_UP, 1, 16, 16},
    {IDB_SCROLL_UP_PRESSED, 1, 16, 16},
    {IDB_SCROLL_UP_DISABLED, 1, 16, 16},
    {IDB_SCROLL_DOWN, 1, 16, 16},
    {IDB_SCROLL_DOWN_PRESSED, 1, 16, 16},
    {IDB_SCROLL_DOWN_DISABLED, 1, 16, 16},
    {IDB_SCROLL_TRACK, 1, 16, 16},
    {IDB_SCROLL_TRACK_DISABLED, 1, 16, 16},
    {IDB_SCROLL_THUMB, 1, 16, 17},
    {IDB_DETAILS, 3, 13, 13},
    {IDB_PANEL_SCAN, 3, 222, 74},
    {IDB_PANEL_STARTUP, 3, 177, 44},
    {IDB_PANEL_IEPLUGINS, 3, 177, 44},
    {IDB_PANEL_UNINSTALL, 3, 177, 44},
    {IDB_PANEL_RESTORE, 3, 177, 44},
    {IDB_PANEL_OPTIONS, 3, 177, 44},
    {IDB_PANEL_ABOUT, 3, 177, 44},
    {IDB_LIST_HEADER, 1, 379, 27},
    {IDB_LINK_HELP, 3, 40, 22},
    {IDB_LINK_SUPPORT, 3, 68, 23},
    {IDB_SPLASH, 1, 620, 226},
    {IDB_DLG_PROGRESS, 1, 295, 268},
    {IDB_DLG_DETAILS, 1, 620, 317},
    {IDB_DLG_FIXPROGRESS, 1, 320, 140},
    {IDB_DLG_SCHEDULER, 1, 360, 200},
    {IDB_COMBO_ARROW, 3, 19, 20},
};

TEST(ResourceBitmaps, EveryBitmapLoadsAtItsSize) {
  for (const BitmapSize& b : kBitmaps) {
    SCOPED_TRACE(b.id);
    Dib dib(b.id);
    ASSERT_TRUE(dib.Valid());
    EXPECT_EQ(b.images * b.width, dib.Width());
    EXPECT_EQ(b.height, dib.Height());
    EXPECT_EQ(24, dib.BitsPerPixel());

    // LoadBitmap is what the skin code calls: a device-dependent bitmap of
    // the same size.
    HBITMAP ddb = LoadBitmapA(Module(), MAKEINTRESOURCEA(b.id));
    ASSERT_NE(nullptr, ddb);
    BITMAP info;
    std::memset(&info, 0xbd, sizeof(info));
    ASSERT_EQ(static_cast<int>(sizeof(info)), GetObjectA(ddb, sizeof(info), &info));
    EXPECT_EQ(b.images * b.width, info.bmWidth);
    EXPECT_EQ(b.height, info.bmHeight);
    DeleteObject(ddb);
  }
}

// A colour that is almost but not exactly the key colour would stay in the
// region as a pink fringe.
bool NearMagenta(COLORREF c) {
  return c != kMagenta && GetRValue(c) > 200 && GetGValue(c) < 90 && GetBValue(c) > 200;
}

TEST(ResourceSkins, WindowSkinsHaveExactMagentaCornersAndNoFringe) {
  const int skins[] = {IDB_MAINFRAME, IDB_SPLASH, IDB_DLG_PROGRESS, IDB_DLG_DETAILS,
                       IDB_DLG_FIXPROGRESS, IDB_DLG_SCHEDULER};
  for (int id : skins) {
    SCOPED_TRACE(id);
    Dib dib(id);
    ASSERT_TRUE(dib.Valid());
    const int w = dib.Width(), h = dib.Height();
    EXPECT_EQ(kMagenta, dib.At(0, 0));
    EXPECT_EQ(kMagenta, dib.At(w - 1, 0));
    EXPECT_EQ(kMagenta, dib.At(0, h - 1));
    EXPECT_EQ(kMagenta, dib.At(w - 1, h - 1));
    // Only the corners are cut: the middle of every edge is window.
    EXPECT_NE(kMagenta, dib.At(w / 2, 0));
    EXPECT_NE(kMagenta, dib.At(w / 2, h - 1));
    EXPECT_NE(kMagenta, dib.At(0, h / 2));
    EXPECT_NE(kMagenta, dib.At(w - 1, h / 2));

    int magenta = 0, fringe = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const COLORREF c = dib.At(x, y);
        if (c == kMagenta) ++magenta;
        if (NearMagenta(c)) ++fringe;
      }
    }
    EXPECT_EQ(0, fringe);
    // Four rounded corners, a few dozen pixels each, not a whole border.
    EXPECT_GT(magenta, 4 * 8);
    EXPECT_LT(magenta, 4 * 80);
  }
}

TEST(ResourceSkins, MainFrameWorkAreaIsFlatGraphite) {
  // The work area paints itself with a pattern brush of this bitmap aligned
  // to its place in the frame, so that part must be the plain work colour.
  Dib frame(IDB_MAINFRAME);
  ASSERT_TRUE(frame.Valid());
  int off = 0;
  for (int y = 95; y < 437 - 35; ++y)
    for (int x = 256; x < 668 - 18; ++x)
      if (frame.At(x, y) != kWorkArea) ++off;
  EXPECT_EQ(0, off);
}

struct Placement {
  int id;
  int width;
  int height;
  int x;  // position in the main frame
  int y;
};

TEST(ResourceSkins, FrameButtonsBlendWithTheFrameUnderThem) {
  const Placement buttons[] = {
      {IDB_CLOSE, 22, 21, 668 - 32, 6},       {IDB_MINIMIZE, 22, 21, 668 - 61, 8},
      {IDB_PANEL_SCAN, 222, 74, 13, 79},      {IDB_PANEL_STARTUP, 177, 44, 51, 158},
      {IDB_PANEL_IEPLUGINS, 177, 44, 51, 203}, {IDB_PANEL_UNINSTALL, 177, 44, 51, 247},
      {IDB_PANEL_RESTORE, 177, 44, 51, 290},  {IDB_PANEL_OPTIONS, 177, 44, 51, 334},
      {IDB_PANEL_ABOUT, 177, 44, 51, 378},    {IDB_LINK_HELP, 40, 22, 524, 32},
      {IDB_LINK_SUPPORT, 68, 23, 575, 32},
  };
  Dib frame(IDB_MAINFRAME);
  ASSERT_TRUE(frame.Valid());
  for (const Placement& b : buttons) {
    SCOPED_TRACE(b.id);
    Dib strip(b.id);
    ASSERT_TRUE(strip.Valid());
    for (int image = 0; image < 3; ++image) {
      const int left = image * b.width;
      // The rounded corners of every state show the frame's own pixels.
      EXPECT_EQ(frame.At(b.x, b.y), strip.At(left, 0));
      EXPECT_EQ(frame.At(b.x + b.width - 1, b.y + b.height - 1),
                strip.At(left + b.width - 1, b.height - 1));
    }
    // The states differ from one another.
    int differ = 0;
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x)
        if (strip.At(x, y) != strip.At(b.width * 2 + x, y)) ++differ;
    EXPECT_GT(differ, 20);
  }
}

TEST(ResourceSkins, StandardButtonSitsOnTheWorkAreaColour) {
  Dib button(IDB_BUTTON);
  ASSERT_TRUE(button.Valid());
  for (int image = 0; image < 4; ++image) {
    SCOPED_TRACE(image);
    const int left = image * 100;
    EXPECT_EQ(kWorkArea, button.At(left, 0));
    EXPECT_EQ(kWorkArea, button.At(left + 99, 23));
    // The face itself is light, so the button's default black text reads.
    const COLORREF face = button.At(left + 50, 12);
    EXPECT_GT(GetRValue(face) + GetGValue(face) + GetBValue(face), 3 * 150);
  }
}

// Sizes listed in an icon group resource.
std::vector<int> IconGroupSizes(int id) {
  std::vector<int> sizes;
  HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  if (!found) return sizes;
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(Module(), found)));
  const DWORD size = SizeofResource(Module(), found);
  if (!data || size < 6) return sizes;
  const int count = data[4] | (data[5] << 8);
  for (int i = 0; i < count && 6u + (i + 1) * 14u <= size; ++i) {
    const int w = data[6 + i * 14];
    sizes.push_back(w == 0 ? 256 : w);
  }
  return sizes;
}

// Width and height of the colour image of an icon loaded at the given size;
// 0, 0 when it does not load.
SIZE LoadedIconSize(int id, int size) {
  SIZE result = {0, 0};
  HICON icon = static_cast<HICON>(
      LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!icon) return result;
  ICONINFO info;
  std::memset(&info, 0, sizeof(info));
  if (GetIconInfo(icon, &info)) {
    BITMAP colour;
    std::memset(&colour, 0, sizeof(colour));
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof(colour), &colour)) {
      result.cx = colour.bmWidth;
      result.cy = colour.bmHeight;
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  DestroyIcon(icon);
  return result;
}

TEST(ResourceIcons, ProgramIconHoldsBothSizes) {
  const std::vector<int> sizes = IconGroupSizes(IDI_MAINFRAME);
  ASSERT_EQ(2u, sizes.size());
  EXPECT_EQ(32, sizes[0]);
  EXPECT_EQ(16, sizes[1]);
  const SIZE large = LoadedIconSize(IDI_MAINFRAME, 32);
  EXPECT_EQ(32, large.cx);
  EXPECT_EQ(32, large.cy);
}

TEST(ResourceIcons, ListIconsLoadAt16Pixels) {
  const int icons[] = {IDI_MAINFRAME, IDI_IEPLUGIN, IDI_STARTUP, IDI_UNINSTALL,
                       IDI_SESSION,   IDI_TICKED,   IDI_UNTICKED, IDI_BACKUP_ITEM};
  for (int id : icons) {
    SCOPED_TRACE(id);
    if (id != IDI_MAINFRAME) {
      EXPECT_EQ(std::vector<int>{16}, IconGroupSizes(id));
    }
    const SIZE small = LoadedIconSize(id, 16);
    EXPECT_EQ(16, small.cx);
    EXPECT_EQ(16, small.cy);
  }
}

std::string LoadText(int id) {
  char buffer[512];
  std::memset(buffer, 0xbd, sizeof(buffer));
  const int n = LoadStringA(Module(), id, buffer, sizeof(buffer));
  return std::string(buffer, n > 0 ? n : 0);
}

TEST(ResourceStrings, FixedTextsAreExact) {
  EXPECT_EQ("Varnholt", LoadText(IDS_APPNAME));
  EXPECT_EQ("Version 1.37", LoadText(IDS_VERSION));
  EXPECT_EQ("In this section you can scan registry for errors and fix these errors. Select the "
            "areas you would like to be scanned and press \"Scan Now\" button.",
            LoadText(IDS_DESC_SCAN));
  EXPECT_EQ("Here you can manage Internet Explorer's plugins, installed on your computer. "
            "Select plugin that you wish to remove and press \"Remove\".",
            LoadText(IDS_DESC_IEPLUGINS));
  EXPECT_EQ("This section contain list of programs that automatically running on Windows "
            "startup. Select application that you wish to remove and press \"Remove\".",
            LoadText(IDS_DESC_STARTUP));
  EXPECT_EQ("In this section you can remove applications that will NOT normally uninstall with "
            "\"Add/Remove Programs\" section of Windows.",
            LoadText(IDS_DESC_UNINSTALL));
  EXPECT_EQ("This section contain backup information. Any repair operation is backed up. To "
            "undo the changes select session and deleted key then press \"Restore\".",
            LoadText(IDS_DESC_RESTORE));
  EXPECT_EQ("In this section you can customize the program by your own favour. After you "
            "change any option - all changes are applied automatically.",
            LoadText(IDS_DESC_OPTIONS));
}

TEST(ResourceStrings, SiteAddressesAreWebLinks) {
  const int ids[] = {IDS_URL_HOME, IDS_URL_HELP, IDS_URL_SUPPORT};
  for (int id : ids) {
    SCOPED_TRACE(id);
    EXPECT_EQ(0u, LoadText(id).rfind("http://", 0));
  }
  EXPECT_NE(LoadText(IDS_URL_HELP), LoadText(IDS_URL_SUPPORT));
  EXPECT_FALSE(LoadText(IDS_ABOUT_NOTICE).empty());
}

TEST(ResourceMenu, TrayMenuHasTheFiveEntriesInOrder) {
  HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAYMENU));
  ASSERT_NE(nullptr, menu);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  struct Entry {
    UINT id;  // 0 for a separator
    const char* text;
  };
  const Entry expected[] = {{ID_TRAY_SHOW, "Show Main Window"}, {0, ""},
                            {ID_TRAY_HOMEPAGE, "Home Page"},    {ID_TRAY_ABOUT, "About..."},
                            {0, ""},                            {ID_TRAY_EXIT, "E&xit"}};
  ASSERT_EQ(6, GetMenuItemCount(popup));
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    char text[64];
    std::memset(text, 0xbd, sizeof(text));
    MENUITEMINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
    if (expected[i].id == 0) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    } else {
      EXPECT_EQ(expected[i].id, info.wID);
      EXPECT_STREQ(expected[i].text, text);
    }
  }
  DestroyMenu(menu);
}

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

TEST(ResourceSound, ScanSoundIsAShortPcmWave) {
  HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(IDW_SCANDONE), "WAVE");
  ASSERT_NE(nullptr, found);
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(Module(), found)));
  const DWORD size = SizeofResource(Module(), found);
  ASSERT_NE(nullptr, data);
  ASSERT_GT(size, 44u);
  EXPECT_EQ(0, std::memcmp(data, "RIFF", 4));
  EXPECT_EQ(size - 8, Le32(data + 4));
  EXPECT_EQ(0, std::memcmp(data + 8, "WAVEfmt ", 8));
  EXPECT_EQ(1, Le16(data + 20));  // PCM
  const uint32_t rate = Le32(data + 24);
  const uint32_t bytesPerSecond = Le32(data + 28);
  ASSERT_GT(rate, 0u);
  ASSERT_GT(bytesPerSecond, 0u);
  // Locate the data chunk; the sound should be short but audible.
  uint32_t pos = 12;
  uint32_t dataBytes = 0;
  while (pos + 8 <= size) {
    const uint32_t chunk = Le32(data + pos + 4);
    if (std::memcmp(data + pos, "data", 4) == 0) {
      dataBytes = chunk;
      break;
    }
    pos += 8 + chunk + (chunk & 1);
  }
  const double seconds = static_cast<double>(dataBytes) / bytesPerSecond;
  EXPECT_GT(seconds, 0.2);
  EXPECT_LT(seconds, 2.0);
}

class ResourceDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_DATE_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
  }
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
  HWND Open(int id) {
    return CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, Proc, 0);
  }
  static std::string ClassOf(HWND w) {
    char name[64] = "";
    GetClassNameA(w, name, sizeof(name));
    return name;
  }
  static std::string TextOf(HWND w) {
    char text[128] = "";
    GetWindowTextA(w, text, sizeof(text));
    return text;
  }
};

TEST_F(ResourceDialogs, SchedulerTemplateHoldsItsControls) {
  HWND dlg = Open(IDD_SCHEDULER);
  ASSERT_NE(nullptr, dlg) << "last error " << GetLastError();
  HWND box = GetDlgItem(dlg, IDC_SCHED_ENABLE);
  ASSERT_NE(nullptr, box);
  EXPECT_STRCASEEQ("Button", ClassOf(box).c_str());
  EXPECT_EQ(BS_AUTOCHECKBOX, GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK);
  EXPECT_EQ("Automatically run Varnholt and scan", TextOf(box));
  EXPECT_EQ(BST_UNCHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
  for (int id : {IDC_SCHED_FREQUENCY, IDC_SCHED_DAY}) {
    SCOPED_TRACE(id);
    HWND combo = GetDlgItem(dlg, id);
    ASSERT_NE(nullptr, combo);
    EXPECT_STRCASEEQ("ComboBox", ClassOf(combo).c_str());
    EXPECT_EQ(CBS_DROPDOWNLIST, GetWindowLongA(combo, GWL_STYLE) & 3);
  }
  HWND time = GetDlgItem(dlg, IDC_SCHED_TIME);
  ASSERT_NE(nullptr, time);
  EXPECT_STRCASEEQ(DATETIMEPICK_CLASSA, ClassOf(time).c_str());
  EXPECT_EQ(DTS_TIMEFORMAT, GetWindowLongA(time, GWL_STYLE) & DTS_TIMEFORMAT);
  ASSERT_NE(nullptr, GetDlgItem(dlg, IDOK));
  ASSERT_NE(nullptr, GetDlgItem(dlg, IDCANCEL));
  EXPECT_EQ("OK", TextOf(GetDlgItem(dlg, IDOK)));
  EXPECT_EQ("Cancel", TextOf(GetDlgItem(dlg, IDCANCEL)));
  // Skinned: no caption or frame of the system's own.
  EXPECT_EQ(0, GetWindowLongA(dlg, GWL_STYLE) & WS_CAPTION);
  DestroyWindow(dlg);
}

TEST_F(ResourceDialogs, FixProgressTemplateHoldsBarAndTexts) {
  HWND dlg = Open(IDD_FIXPROGRESS);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("Fixing errors...", TextOf(GetDlgItem(dlg, IDC_FIX_TEXT)));
  HWND bar = GetDlgItem(dlg, IDC_FIX_BAR);
  ASSERT_NE(nullptr, bar);
  EXPECT_STRCASEEQ(PROGRESS_CLASSA, ClassOf(bar).c_str());
  ASSERT_NE(nullptr, GetDlgItem(dlg, IDC_FIX_REMAINING));
  DestroyWindow(dlg);
}

TEST_F(ResourceDialogs, CodeBuiltDialogsOpenEmptyAndCaptionless) {
  for (int id : {IDD_SPLASH, IDD_PROGRESS, IDD_DETAILS}) {
    SCOPED_TRACE(id);
    HWND dlg = Open(id);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(nullptr, GetWindow(dlg, GW_CHILD));
    EXPECT_EQ(0, GetWindowLongA(dlg, GWL_STYLE) & WS_CAPTION);
    DestroyWindow(dlg);
  }
}

}  // namespace
