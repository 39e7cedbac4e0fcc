#include "app/ProgressDlg.h"

#include <cstdio>

#include "app/AppFonts.h"
#include "app/AppOptions.h"
#include "app/PanelLook.h"
#include "engine/ScanCategories.h"
#include "exmfc/DpiScale.h"
#include "res/resource.h"

namespace {

constexpr int kWidth = 295;
constexpr int kHeight = 268;
constexpr COLORREF kTextColour = RGB(221, 221, 221);
constexpr COLORREF kNoErrorsColour = RGB(0, 221, 0);
constexpr COLORREF kErrorsColour = RGB(255, 32, 0);

// Frees the payload of a progress message that will never be handled.
void FreeProgress(WPARAM wParam, LPARAM lParam) {
  delete reinterpret_cast<CProgressDlg::Counts*>(wParam);
  delete reinterpret_cast<std::string*>(lParam);
}

}  // namespace

CProgressDlg::CProgressDlg(RegCheck::CActionList& results)
    : CWindowSkin(IDB_DLG_PROGRESS, static_cast<UINT>(IDD_PROGRESS)), results_(results) {}

const char* CProgressDlg::SectionText(int bit) {
  switch (bit) {
    case RegCheck::kCatAppPath: return "Application & Installer Paths Entries...";
    case RegCheck::kCatSharedDll: return "Shared DLLs Entries...";
    case RegCheck::kCatHelpFiles: return "Help Files Entries...";
    case RegCheck::kCatUninstall: return "Uninstall Entries...";
    case RegCheck::kCatFileAssociation: return "File Associations Entries...";
    case RegCheck::kCatServices: return "Services Entries...";
    case RegCheck::kCatComObject: return "COM Objects Entries...";
    case RegCheck::kCatStartup: return "Startup Programs Entries...";
    case RegCheck::kCatFonts: return "Fonts Entries...";
    case RegCheck::kCatHistory: return "MRU & History Entries...";
    default: return "";
  }
}

void CProgressDlg::OnStage(int category, int begin) {
  if (category == 0 && !begin) {
    PostMessage(kMsgRunEnded);
  } else if (begin && category != 0 && !RegCheck::GetScanCoordinator().IsCancelled()) {
    PostMessage(kMsgStageBegins, static_cast<WPARAM>(category));
  } else if (!begin) {
    InterlockedOr(&finishedMask_, category);
  }
}

void CProgressDlg::OnProgress() {
  if (hiddenByBackground_ && !GetAppOptions().GetScanAtStart()) {
    hiddenByBackground_ = 0;
    // Asynchronous: the UI thread may be waiting for this thread to stop.
    ShowWindowAsync(GetHwnd(), SW_SHOW);
  }
  // The coordinator counts every visit; the display needs only the latest
  // state. At most one progress message is in flight, and at most one every
  // 25 ms, so a large registry never floods the UI thread's queue.
  DWORD now = GetTickCount();
  if (now - lastProgressPost_ < kProgressIntervalMs) return;
  if (InterlockedCompareExchange(&progressPending_, 1, 0) != 0) return;
  lastProgressPost_ = now;
  RegCheck::CScanCoordinator& scan = RegCheck::GetScanCoordinator();
  auto* counts = new Counts{scan.GetKeysVisited(), scan.GetKeysVisited() + scan.GetValuesVisited(),
                            results_.Count()};
  auto* path = new std::string(scan.GetCurrentKey());
  if (!PostMessage(kMsgProgress, reinterpret_cast<WPARAM>(counts), reinterpret_cast<LPARAM>(path))) {
    FreeProgress(reinterpret_cast<WPARAM>(counts), reinterpret_cast<LPARAM>(path));
    InterlockedExchange(&progressPending_, 0);
  }
}

void CProgressDlg::InitSkin() {
  regionOn_ = true;
  keyColour_ = RGB(255, 0, 255);
  captionRect_ = exmfc::Scale(RECT{22, 5, kWidth - 75, 33});
  ctlTextColour_ = kTextColour;
  cursor_ = LoadCursor(nullptr, IDC_ARROW);
}

BOOL CProgressDlg::OnInitDialog() {
  CWindowSkin::OnInitDialog();
  RegCheck::CScanCoordinator& scan = RegCheck::GetScanCoordinator();
  scan.SetCategories(categories_);
  scan.SetProgressCallback(this);
  scan.Start(&results_);

  // Sized first: the controls below are placed against the final size.
  using exmfc::Scale;
  SetWindowPos(GetHwnd(), nullptr, 0, 0, Scale(kWidth), Scale(kHeight), SWP_NOMOVE | SWP_NOZORDER);

  const DWORD text = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
  section_.Create("", text, Scale(RECT{16, 54, 277, 72}), GetHwnd());
  path_.Create("", text | SS_PATHELLIPSIS, Scale(RECT{16, 90, 277, 108}), GetHwnd());
  keys_.Create("0", text, Scale(RECT{159, 132, 235, 151}), GetHwnd());
  entries_.Create("0", text, Scale(RECT{159, 160, 235, 179}), GetHwnd());
  errors_.Create("0", text, Scale(RECT{159, 188, 235, 207}), GetHwnd());
  section_.SetFont(GetAppFont(AppFont::kLabel));
  path_.SetFont(GetAppFont(AppFont::kPath));
  keys_.SetFont(GetAppFont(AppFont::kLabel));
  entries_.SetFont(GetAppFont(AppFont::kLabel));
  errors_.SetFont(GetAppFont(AppFont::kLabel));

  close_.Create("", WS_CHILD | WS_VISIBLE, Scale(RECT{kWidth - 32, 6, kWidth - 10, 27}), GetHwnd(),
                IDC_CLOSE);
  close_.SetSkin(IDB_CLOSE, SKINSET_NPH, SKINW_CLOSE);
  const int left = (kWidth - 100) / 2;
  MakeSkinButton(cancel_, "Cancel", RECT{left, kHeight - 33, left + 100, kHeight - 33 + 24},
                 GetHwnd(), IDC_PROGRESS_CANCEL, WS_VISIBLE);

  CenterWindow();
  return TRUE;
}

bool CProgressDlg::OnCmdMsg(UINT id, UINT code, HWND control) {
  if ((id == IDC_CLOSE || id == IDC_PROGRESS_CANCEL) && code == BN_CLICKED) {
    OnCancel();
    return true;
  }
  return CWindowSkin::OnCmdMsg(id, code, control);
}

void CProgressDlg::OnCancel() {
  cancelled_ = 1;
  RegCheck::CScanCoordinator& scan = RegCheck::GetScanCoordinator();
  if (!scan.IsRunning()) {
    EndDialog(IDCANCEL);
    return;
  }
  // The worker stops at its next step, but a step may be a slow registry
  // or file-system call: the dialog keeps its message loop until the run's
  // end message comes, rather than blocking this thread in the wait.
  scan.Cancel();
  cancel_.EnableWindow(FALSE);
  close_.EnableWindow(FALSE);
}

HBRUSH CProgressDlg::OnSkinCtlColor(HDC dc, HWND child) {
  if (GetAppOptions().GetScanAtStart()) {
    hiddenByBackground_ = 1;
    ShowWindow(SW_HIDE);
  }
  HBRUSH brush = CWindowSkin::OnSkinCtlColor(dc, child);
  if (child == errors_.GetHwnd()) SetTextColor(dc, shown_.errors > 0 ? kErrorsColour : kNoErrorsColour);
  return brush;
}

void CProgressDlg::ShowProgress(const Counts& counts, const std::string& path) {
  // Key paths arrive with doubled separators in places; show single ones.
  std::string single;
  single.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    single += path[i];
    if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ++i;
  }
  path_.SetWindowText(single.c_str());
  char text[16];
  if (counts.keys != shown_.keys) {
    snprintf(text, sizeof text, "%d", counts.keys);
    keys_.SetWindowText(text);
  }
  if (counts.entries != shown_.entries) {
    snprintf(text, sizeof text, "%d", counts.entries);
    entries_.SetWindowText(text);
  }
  if (counts.errors != shown_.errors) {
    shown_.errors = counts.errors;
    snprintf(text, sizeof text, "%d", counts.errors);
    errors_.SetWindowText(text);
  }
  shown_ = counts;
}

void CProgressDlg::StopWorker() {
  RegCheck::CScanCoordinator& scan = RegCheck::GetScanCoordinator();
  if (scan.IsRunning()) {
    scan.Cancel();
    scan.WaitDone();
  }
  scan.SetProgressCallback(nullptr);
  scan.ClearCancel();
  // Progress reports still queued would never be handled: free them.
  MSG msg;
  while (PeekMessageA(&msg, GetHwnd(), kMsgProgress, kMsgProgress, PM_REMOVE))
    FreeProgress(msg.wParam, msg.lParam);
}

LRESULT CProgressDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kMsgRunEnded:
      EndDialog(cancelled_ ? IDCANCEL : 1);
      return 0;
    case kMsgStageBegins:
      section_.SetWindowText(SectionText(static_cast<int>(wParam)));
      section_.Invalidate();
      return 0;
    case kMsgProgress: {
      auto* counts = reinterpret_cast<Counts*>(wParam);
      auto* path = reinterpret_cast<std::string*>(lParam);
      if (counts && path) ShowProgress(*counts, *path);
      FreeProgress(wParam, lParam);
      InterlockedExchange(&progressPending_, 0);
      return 0;
    }
    case WM_DESTROY:
      StopWorker();
      break;
    default:
      break;
  }
  return CWindowSkin::WindowProc(msg, wParam, lParam);
}
