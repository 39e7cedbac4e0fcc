#include "app/MainFrame.h"

#include <shellapi.h>

#include "app/AppFonts.h"
#include "app/AppOptions.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

constexpr char kAppName[] = "Varnholt";

struct ButtonInfo {
  UINT id;
  UINT bitmap;
  int width;  // one image of the strip
  int left, top, cx, cy;
  int panel;  // work area panel, or -1
};

// In creation order. The close and minimise buttons are placed against the
// right edge by Layout.
const ButtonInfo kButtons[CMainFrame::kButtonCount] = {
    {IDC_CLOSE, IDB_CLOSE, SKINW_CLOSE, 0, 6, 22, 21, -1},
    {IDC_MINIMIZE, IDB_MINIMIZE, SKINW_MINIMIZE, 0, 8, 22, 21, -1},
    {IDC_PANEL_SCAN, IDB_PANEL_SCAN, SKINW_PANEL_SCAN, 13, 79, 222, 74, CWorkArea::kScan},
    {IDC_PANEL_STARTUP, IDB_PANEL_STARTUP, SKINW_PANEL, 51, 158, 177, 44, CWorkArea::kStartup},
    {IDC_PANEL_IEPLUGINS, IDB_PANEL_IEPLUGINS, SKINW_PANEL, 51, 203, 177, 44,
     CWorkArea::kIEPlugins},
    {IDC_PANEL_UNINSTALL, IDB_PANEL_UNINSTALL, SKINW_PANEL, 51, 247, 177, 44,
     CWorkArea::kUninstall},
    {IDC_PANEL_RESTORE, IDB_PANEL_RESTORE, SKINW_PANEL, 51, 290, 177, 44, CWorkArea::kRestore},
    {IDC_PANEL_OPTIONS, IDB_PANEL_OPTIONS, SKINW_PANEL, 51, 334, 177, 44, CWorkArea::kOptions},
    {IDC_PANEL_ABOUT, IDB_PANEL_ABOUT, SKINW_PANEL, 51, 378, 177, 44, CWorkArea::kAbout},
    {IDC_LINK_HELP, IDB_LINK_HELP, SKINW_LINK_HELP, 524, 32, 40, 22, -1},
    {IDC_LINK_SUPPORT, IDB_LINK_SUPPORT, SKINW_LINK_SUPPORT, 575, 32, 68, 23, -1},
};

HICON LoadAppIcon(int size) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAINFRAME),
                                       IMAGE_ICON, size, size, 0));
}

// The dotted focus frame sits this far inside a button's edge.
constexpr int kFocusInset = 2;

}  // namespace

CMainFrame::CMainFrame() : CWindowSkin(IDB_MAINFRAME) {}

UINT CMainFrame::TrayMessage() {
  static const UINT message = RegisterWindowMessageA("MyTrayMsg");
  return message;
}

UINT CMainFrame::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.cx = exmfc::Scale(kWidth);
  cs.cy = exmfc::Scale(kHeight);
  cs.style = kStyle;
  cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
  // Tab walks into the work area's panels as in a dialog.
  cs.dwExStyle |= WS_EX_CONTROLPARENT;
  cs.hMenu = nullptr;
  cs.lpszClass = RegisterWndClass(0);
  return cs.lpszClass != nullptr;
}

void CMainFrame::InitSkin() {
  regionOn_ = true;
  keyColour_ = RGB(255, 0, 255);
  captionRect_ = exmfc::Scale(RECT{0, 0, kWidth, 50});
  cursor_ = LoadCursor(nullptr, IDC_ARROW);
  SetTitleFontCopy(GetAppFont(AppFont::kTitle));
}

int CMainFrame::OnCreate() {
  largeIcon_.Reset(LoadAppIcon(32));
  smallIcon_.Reset(LoadAppIcon(16));
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  tray_.SetIcon(smallIcon_.Get());

  tray_.SetTooltip(kAppName);
  tray_.Create(GetHwnd(), TrayMessage(), true);
  if (GetAppOptions().GetScanAtStart()) ShowBalloon("Varnholt is performing a background scan.");

  if (!workArea_.Create(GetHwnd(), RECT{2, 2, 100, 100})) return -1;

  for (int i = 0; i < kButtonCount; ++i) {
    const ButtonInfo& b = kButtons[i];
    const RECT r = exmfc::Scale(RECT{b.left, b.top, b.left + b.cx, b.top + b.cy});
    if (!buttons_[i].Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, GetHwnd(), b.id)) return -1;
    buttons_[i].SetSkin(b.bitmap, SKINSET_NPH, b.width, 0, 0, 0, kFocusInset);
  }
  Layout();
  SetWindowText(kAppName);
  return 0;
}

void CMainFrame::Layout() {
  RECT client = GetClientRect();
  if (workArea_.GetHwnd()) {
    using exmfc::Scale;
    RECT area = {client.left + Scale(256), client.top + Scale(95), client.right - Scale(18),
                 client.bottom - Scale(35)};
    workArea_.MoveWindow(area);
  }
  // Placed from the right edge in 96-DPI pixels, then scaled as a whole so
  // the buttons land where the stretched skin draws their plates.
  const int right = MulDiv(client.right, USER_DEFAULT_SCREEN_DPI, exmfc::ScreenDpi());
  if (buttons_[0].GetHwnd())
    buttons_[0].MoveWindow(exmfc::Scale(RECT{right - 32, 6, right - 32 + 22, 6 + 21}));
  if (buttons_[1].GetHwnd())
    buttons_[1].MoveWindow(exmfc::Scale(RECT{right - 61, 8, right - 61 + 22, 8 + 21}));
}

void CMainFrame::ShowMainWindow() {
  GetAppOptions().SetScanAtStart(0);
  ShowWindow(SW_SHOW);
  ShowWindow(SW_RESTORE);
  SetForegroundWindow(GetHwnd());
}

void CMainFrame::ShowBalloon(const std::string& text) { tray_.ShowBalloon(kAppName, text, 5); }

LRESULT CMainFrame::OnTrayNotify(UINT mouseMessage) {
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    ShowMainWindow();
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    fw::OwnedMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU)));
    HMENU popup = menu.Get() ? GetSubMenu(menu, 0) : nullptr;
    if (popup) {
      POINT cursor;
      GetCursorPos(&cursor);
      // The owner must be foreground for the menu to close when the user
      // clicks elsewhere; WM_NULL afterwards lets it close properly.
      SetForegroundWindow(GetHwnd());
      TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, GetHwnd(), nullptr);
      PostMessage(WM_NULL);
    }
  }
  return 0;
}

void CMainFrame::OpenAddress(UINT stringId, const char* verb, const char* parameters, int show) {
  char address[512] = "";
  if (LoadStringA(GetModuleHandleA(nullptr), stringId, address, sizeof address) <= 0) return;
  ShellExecuteA(nullptr, verb, address, parameters, parameters, show);
}

bool CMainFrame::OnCmdMsg(UINT id, UINT code, HWND control) {
  if (workArea_.GetHwnd() && workArea_.OnCmdMsg(id, code, control)) return true;
  switch (id) {
    case IDC_CLOSE:
    case ID_TRAY_EXIT:
      PostMessage(WM_CLOSE);
      return true;
    case IDC_MINIMIZE:
      ShowWindow(SW_MINIMIZE);
      ShowWindow(SW_HIDE);
      return true;
    case IDC_LINK_HELP:
      OpenAddress(IDS_URL_HELP, nullptr, "", SW_SHOW);
      return true;
    case IDC_LINK_SUPPORT:
      OpenAddress(IDS_URL_SUPPORT, nullptr, "", SW_SHOW);
      return true;
    case ID_TRAY_SHOW:
      ShowMainWindow();
      return true;
    case ID_TRAY_HOMEPAGE:
      OpenAddress(IDS_URL_HOME, "open", nullptr, SW_SHOWNORMAL);
      return true;
    case ID_TRAY_ABOUT:
      ShowMainWindow();
      workArea_.SelectPanelForced(CWorkArea::kAbout);
      return true;
    default:
      break;
  }
  for (const ButtonInfo& b : kButtons) {
    if (b.id == id && b.panel >= 0) {
      workArea_.SelectPanel(b.panel);
      return true;
    }
  }
  return CWindowSkin::OnCmdMsg(id, code, control);
}

void CMainFrame::RememberFocus() {
  HWND focus = ::GetFocus();
  if (focus && IsChild(GetHwnd(), focus)) lastFocus_ = focus;
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == TrayMessage() && msg != 0) return OnTrayNotify(static_cast<UINT>(lParam));
  // Without this a restarted Explorer leaves a hidden window ("/fast",
  // "/scan", minimised to the tray) with no way back.
  if (msg == TaskbarCreatedMessage() && msg != 0) {
    tray_.Restore();
    return 0;
  }
  switch (msg) {
    case WM_CREATE: {
      LRESULT base = CWindowSkin::WindowProc(msg, wParam, lParam);
      if (base == -1) return -1;
      return OnCreate();
    }
    case WM_SIZE: {
      LRESULT base = CWindowSkin::WindowProc(msg, wParam, lParam);
      Layout();
      return base;
    }
    case WM_CLOSE:
      // The tray menu stays usable during a fix run; closing then would
      // free the list under the worker that fixes it.
      if (workArea_.IsFixing()) return 0;
      break;
    case WM_DESTROY:
      tray_.Remove();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) RememberFocus();
      break;
    case WM_ENABLE:
      // A modal dialog or box disables the frame before it takes the
      // activation.
      if (!wParam) RememberFocus();
      break;
    case WM_SETFOCUS: {
      // Activation gives the focus to the frame itself: hand it back to the
      // control that had it when a box or dialog took over, so the keyboard
      // goes on where it was; the first time, to the first control in tab
      // order (the category list).
      HWND back = lastFocus_;
      if (!back || !IsChild(GetHwnd(), back) || !::IsWindowVisible(back) ||
          !::IsWindowEnabled(back))
        back = GetNextDlgTabItem(GetHwnd(), nullptr, FALSE);
      if (!back) back = workArea_.GetHwnd();
      if (back) ::SetFocus(back);
      return 0;
    }
    default:
      break;
  }
  return CWindowSkin::WindowProc(msg, wParam, lParam);
}
