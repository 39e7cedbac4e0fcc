// Draws sample skinned windows and writes a PNG picture of each into the
// current folder, for a person to look at: a skinned dialog, the states of
// the skinned buttons, and an open combo box drop-down. Uses the program's
// artwork when it is linked in, and plain generated art otherwise.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/AppFonts.h"
#include "exmfc/ShapeWnd.h"
#include "exmfc/SkinButton.h"
#include "exmfc/SkinComboBox.h"
#include "exmfc/WindowSkin.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/DialogTemplate.h"
#include "support/gui/MessagePump.h"
#include "support/gui/PixelCapture.h"

namespace {

// Resource ids of the program's artwork (when linked).
const UINT kDialogSkin = 192, kButtonStrip = 144, kComboArrow = 195;
const COLORREF kMagenta = RGB(255, 0, 255);

HBITMAP LoadOr(UINT id, HBITMAP fallback) {
  HBITMAP b = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  if (b) {
    DeleteObject(fallback);
    return b;
  }
  return fallback;
}

// A 60x60 light skin with a dark caption band and rounded magenta corners.
HBITMAP GeneratedDialogSkin() {
  return guitest::MakeBitmap(60, 60, [](int x, int y) {
    int cx = x < 30 ? x : 59 - x, cy = y < 30 ? y : 59 - y;
    if ((6 - cx) * (6 - cx) + (6 - cy) * (6 - cy) > 36 && cx < 6 && cy < 6) return kMagenta;
    if (cx == 0 || cy == 0) return RGB(40, 40, 40);
    if (y < 38) return RGB(68, 68, 68);
    return RGB(236, 236, 236);
  });
}

// Four 100x24 images: normal, pressed, hover, disabled.
HBITMAP GeneratedButtonStrip() {
  return guitest::MakeBitmap(400, 24, [](int x, int y) {
    const COLORREF base[] = {RGB(90, 90, 90), RGB(50, 50, 50), RGB(120, 120, 120), RGB(170, 170, 170)};
    int i = x / 100, lx = x % 100;
    if (lx == 0 || lx == 99 || y == 0 || y == 23) return RGB(30, 30, 30);
    return base[i];
  });
}

bool Save(HWND hwnd, const char* name) {
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  if (!guitest::CaptureWindow(hwnd, false, px, w, h) || !guitest::WritePng(name, px, w, h)) {
    std::fprintf(stderr, "could not write %s\n", name);
    return false;
  }
  std::printf("wrote %s (%dx%d)\n", name, w, h);
  return true;
}

bool SaveScreenRect(const RECT& r, const char* name) {
  int w = r.right - r.left, h = r.bottom - r.top;
  guitest::Dib32 dib(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(dib.Dc(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = dib.At(x, y);
      px[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  if (!guitest::WritePng(name, px, w, h)) return false;
  std::printf("wrote %s (%dx%d)\n", name, w, h);
  return true;
}

class RowList : public fw::CListBox {
 protected:
  void DrawItem(DRAWITEMSTRUCT* item) override {
    if (item->itemID == static_cast<UINT>(-1)) return;
    HDC dc = item->hDC;
    FillRect(dc, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT box = {item->rcItem.left + 4, item->rcItem.top + 4, item->rcItem.left + 16,
                item->rcItem.top + 16};
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT t = item->rcItem;
    t.left += 24;
    SetBkMode(dc, TRANSPARENT);
    fw::SelectGuard font(dc, GetAppFont(AppFont::kList));
    std::string text = GetText(static_cast<int>(item->itemID));
    DrawTextA(dc, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  }
};

class SampleDialog : public exmfc::CWindowSkin<fw::CDialog> {
 public:
  explicit SampleDialog(const fw::CDialogTemplate* t) : CWindowSkin(0, t) {
    SetSkinBitmap(LoadOr(kDialogSkin, GeneratedDialogSkin()));
  }

 protected:
  void InitSkin() override {
    regionOn_ = true;
    keyColour_ = kMagenta;
    titleColour_ = RGB(255, 255, 255);
    SetTitleFontCopy(GetAppFont(AppFont::kTitle));
    ctlTextColour_ = RGB(0, 0, 0);
    cursor_ = LoadCursor(nullptr, IDC_ARROW);
  }
  void OnSizeChanged() {
    RECT c = GetClientRect();
    captionRect_ = RECT{25, 5, c.right - 70, 33};
    titleRect_ = RECT{captionRect_.left + 22, captionRect_.top + 4, captionRect_.right - 4,
                      captionRect_.bottom + 2};
  }
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_SIZE) OnSizeChanged();
    return CWindowSkin::WindowProc(msg, w, l);
  }
  BOOL OnInitDialog() override {
    SetWindowPos(GetHwnd(), nullptr, 60, 60, 620, 317, SWP_NOZORDER);
    label_.Create("Select/Unselect Errors for Repair:", WS_CHILD | WS_VISIBLE,
                  RECT{22, 50, 250, 65}, GetHwnd(), 0xFFFF);
    label_.SetFont(GetAppFont(AppFont::kLabel));
    frame_.Create(exmfc::CShapeWnd::kRectangle, WS_CHILD | WS_VISIBLE, RECT{20, 67, 600, 267},
                  GetHwnd(), 0);
    exmfc::ShapeStyle style;
    style.fillColour = RGB(255, 255, 255);
    style.frameColour = RGB(240, 240, 240);
    style.frameWidth = 2;
    style.mask = exmfc::SHAPE_FILL | exmfc::SHAPE_FRAME | exmfc::SHAPE_FRAME_WIDTH;
    frame_.SetShapeStyle(style);
    list_.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                 RECT{3, 3, 577, 197}, frame_, 10);
    list_.SetItemHeight(0, 24);
    for (const char* row : {"Missing file: C:\\Program Files\\Old\\helper.dll",
                            "Missing file: C:\\Windows\\system32\\gone.ocx",
                            "Invalid class: {0A1B2C3D-0000-1111-2222-333344445555}"})
      list_.AddString(row);
    HBITMAP strip = LoadOr(kButtonStrip, GeneratedButtonStrip());
    const char* names[] = {"Select All", "Select None", "OK"};
    const int lefts[] = {20, 125, 620 - 120};
    for (int i = 0; i < 3; ++i) {
      buttons_[i].Create(names[i], WS_CHILD | WS_VISIBLE, RECT{lefts[i], 276, lefts[i] + 100, 300},
                         GetHwnd(), 200 + i);
      buttons_[i].SetSkinStrip(strip, 0x0F, 100);
      buttons_[i].SetFont(GetAppFont(AppFont::kButton));
    }
    DeleteObject(strip);
    return TRUE;
  }

 private:
  fw::CStatic label_;
  exmfc::CShapeWnd frame_;
  RowList list_;
  exmfc::CSkinButton buttons_[3];
};

class Panel : public fw::CWnd {
 public:
  fw::OwnedBrush back{CreateSolidBrush(RGB(0x44, 0x44, 0x44))};

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_ERASEBKGND) {
      RECT r = GetClientRect();
      FillRect(reinterpret_cast<HDC>(w), &r, back);
      return 1;
    }
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
      SetTextColor(reinterpret_cast<HDC>(w), RGB(221, 221, 221));
      SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
      return reinterpret_cast<LRESULT>(back.Get());
    }
    return fw::CWnd::WindowProc(msg, w, l);
  }
};

int ButtonStates() {
  Panel panel;
  if (!panel.CreateEx(0, fw::CWnd::RegisterWndClass(0), "buttons", WS_POPUP | WS_VISIBLE,
                      RECT{60, 60, 560, 200}, nullptr, 0))
    return 1;
  HBITMAP strip = LoadOr(kButtonStrip, GeneratedButtonStrip());
  const char* names[] = {"Normal", "Hover", "Pressed", "Disabled"};
  exmfc::CSkinButton push[4];
  fw::CStatic labels[4];
  for (int i = 0; i < 4; ++i) {
    int x = 10 + i * 120;
    push[i].Create("Scan NOW!", WS_CHILD | WS_VISIBLE, RECT{x, 20, x + 100, 44}, panel, 100 + i);
    push[i].SetSkinStrip(strip, 0x0F, 100);
    push[i].SetFont(GetAppFont(AppFont::kButton));
    labels[i].Create(names[i], WS_CHILD | WS_VISIBLE | SS_CENTER, RECT{x, 50, x + 100, 66}, panel);
    labels[i].SetFont(GetAppFont(AppFont::kPath));
  }
  DeleteObject(strip);
  push[3].EnableWindow(FALSE);
  push[2].SendMessage(BM_SETSTATE, TRUE);
  exmfc::CSkinButton box1, box2, radio1, radio2;
  box1.Create("Show splash screen", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, RECT{10, 80, 230, 100}, panel, 134);
  box2.Create("Play sound on errors found", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, RECT{10, 105, 230, 125}, panel, 135);
  radio1.Create("Weekly", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, RECT{260, 80, 400, 100}, panel, 136);
  radio2.Create("Monthly", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, RECT{260, 105, 400, 125}, panel, 137);
  // 16x20 tick boxes on the panel colour: empty, ticked, empty with a
  // light frame for hover.
  fw::OwnedBitmap ticks(guitest::MakeBitmap(48, 20, [](int x, int y) {
    int i = x / 16, lx = x % 16;
    bool frame = (lx == 1 || lx == 14) ? (y >= 3 && y <= 16) : (y == 3 || y == 16) && lx >= 1 && lx <= 14;
    bool tick = i == 1 && lx >= 4 && lx <= 11 && y >= 6 && y <= 13;
    if (frame) return i == 2 ? RGB(255, 255, 255) : RGB(200, 200, 200);
    if (tick) return RGB(80, 200, 80);
    return RGB(0x44, 0x44, 0x44);
  }));
  for (exmfc::CSkinButton* b : {&box1, &box2, &radio1, &radio2}) {
    b->SetSkinStrip(ticks, 0x07, 16);
    b->SetFont(GetAppFont(AppFont::kLabel));
    b->SetTextColours(RGB(221, 221, 221), RGB(255, 255, 255), RGB(255, 255, 255));
  }
  box1.SetCheck(BST_CHECKED);
  radio2.SetCheck(BST_CHECKED);
  // Real mouse over the second button gives it its hover look.
  RECT r = push[1].GetWindowRect();
  guitest::MoveMouseTo(POINT{r.left + 50, r.top + 12});
  guitest::PumpUntil([&] { return push[1].IsHover(); }, 1000);
  push[1].Invalidate(FALSE);
  guitest::PumpFor(200);
  bool ok = Save(panel, "button_states.png");
  guitest::MoveMouseTo(POINT{900, 700});
  panel.DestroyWindow();
  return ok ? 0 : 1;
}

int ComboDropDown() {
  Panel panel;
  if (!panel.CreateEx(0, fw::CWnd::RegisterWndClass(0), "combo", WS_POPUP | WS_VISIBLE,
                      RECT{60, 60, 360, 240}, nullptr, 0))
    return 1;
  exmfc::CSkinComboBox combo;
  combo.Create(WS_CHILD | WS_VISIBLE, RECT{20, 20, 280, 44}, panel, 9, kComboArrow);
  for (int i = 0; i < 8; ++i) {
    char text[64];
    std::snprintf(text, sizeof text, "Backup session %d - 2026-12-0%d", i + 1, i + 1);
    combo.AddItem(text, LoadIcon(nullptr, IDI_INFORMATION));
  }
  combo.SetCurSel(2);
  guitest::PumpFor(100);
  combo.ToggleDropDown();
  combo.Popup().List().SetCurSel(3);
  guitest::PumpFor(300);
  RECT a = panel.GetWindowRect(), b = combo.Popup().GetWindowRect(), u;
  UnionRect(&u, &a, &b);
  bool ok = SaveScreenRect(u, "combo_dropdown.png");
  combo.ToggleDropDown();
  panel.DestroyWindow();
  return ok ? 0 : 1;
}

int SkinnedDialog() {
  fw::CDialogTemplate t(WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 60, "", nullptr);
  SampleDialog dlg(&t);
  if (!dlg.CreateModeless(nullptr)) return 1;
  guitest::PumpFor(300);
  bool ok = Save(dlg, "skinned_dialog.png");
  dlg.DestroyWindow();
  return ok ? 0 : 1;
}

}  // namespace

int main() {
  fw::EnsureCommonControls();
  int failures = SkinnedDialog() + ButtonStates() + ComboDropDown();
  return failures ? 1 : 0;
}
