#include "app/WorkArea.h"

#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "app/AppFonts.h"
#include "app/AppOptions.h"
#include "app/AppSettings.h"
#include "app/DetailsDlg.h"
#include "app/FixProgressDlg.h"
#include "app/MainFrame.h"
#include "app/ProgressDlg.h"
#include "backup/BackupManager.h"
#include "engine/FixRun.h"
#include "exmfc/DpiScale.h"
#include "exmfc/SkinDraw.h"
#include "framework/WorkerThread.h"
#include "res/resource.h"

namespace {

constexpr char kCaption[] = "Varnholt";

// Description string resource of each panel; 0 for none.
const UINT kDescriptions[CWorkArea::kPanelCount] = {
    IDS_DESC_SCAN,      IDS_DESC_IEPLUGINS, IDS_DESC_STARTUP, IDS_DESC_UNINSTALL,
    IDS_DESC_RESTORE,   IDS_DESC_OPTIONS,   0};

std::string LoadText(UINT id) {
  char text[512] = "";
  if (id) LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

// The frame's skin as the frame draws it at the screen's DPI, so the work
// area's background lines up with the frame around it.
HBITMAP LoadFrameSkin() {
  fw::OwnedBitmap drawn(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MAINFRAME)));
  return exmfc::StretchedCopy(drawn, exmfc::Scale(CMainFrame::kWidth),
                              exmfc::Scale(CMainFrame::kHeight));
}

// Panel shown by a work area command, or -1.
int PanelOfCommand(UINT id) {
  switch (id) {
    case ID_SHOW_SCAN: return CWorkArea::kScan;
    case ID_SHOW_IEPLUGINS: return CWorkArea::kIEPlugins;
    case ID_SHOW_STARTUP: return CWorkArea::kStartup;
    case ID_SHOW_UNINSTALL: return CWorkArea::kUninstall;
    case ID_SHOW_RESTORE: return CWorkArea::kRestore;
    case ID_SHOW_OPTIONS: return CWorkArea::kOptions;
    case ID_SHOW_ABOUT: return CWorkArea::kAbout;
    default: return -1;
  }
}

// Carries the fix run's progress from the worker thread to the dialog. The
// worker only counts; the UI thread brings the dialog up to date whenever
// it wakes, so the dialog's window is touched by its own thread alone.
class CFixRunProgress : public RegCheck::IFixProgress {
 public:
  explicit CFixRunProgress(CFixProgressDlg& dialog) : dialog_(dialog) {}
  void SetTotal(int total) override { total_ = total; }
  void Step() override { ++steps_; }

  // UI thread.
  void Show() {
    const int total = total_;
    if (total >= 0 && shownTotal_ != total) {
      dialog_.SetTotal(total);
      shownTotal_ = total;
    }
    const int steps = steps_;
    if (steps > shownSteps_) dialog_.Advance(steps - shownSteps_);
    shownSteps_ = steps;
  }

 private:
  CFixProgressDlg& dialog_;
  std::atomic<int> total_{-1};
  std::atomic<int> steps_{0};
  int shownTotal_ = -1;
  int shownSteps_ = 0;
};

}  // namespace

CWorkArea::CWorkArea()
    : patternBitmap_(LoadFrameSkin()),
      darkBrush_(CreateSolidBrush(0x444444)),
      whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))) {
  if (patternBitmap_) patternBrush_.Reset(CreatePatternBrush(patternBitmap_));
}

bool CWorkArea::Create(HWND parent, const RECT& rect) {
  const char* cls =
      RegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
  if (!cls) return false;
  if (!CreateEx(WS_EX_CONTROLPARENT, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, 0)) return false;
  return CreatePanels();
}

bool CWorkArea::CreatePanels() {
  // 40 rather than 35 pixels high: the longest descriptions take three
  // lines, and the panels start below 40.
  if (!description_.Create("", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                           exmfc::Scale(RECT{0, 0, 360, 40}), GetHwnd()))
    return false;
  description_.SetFont(GetAppFont(AppFont::kText));
  // Panel creation order: scan, startup, plug-ins, uninstall, restore,
  // options, About.
  if (!scan_.Create(GetHwnd())) return false;
  if (!startup_.Create(GetHwnd())) return false;
  if (!iePlugins_.Create(GetHwnd())) return false;
  if (!uninstall_.Create(GetHwnd())) return false;
  if (!restore_.Create(GetHwnd())) return false;
  if (!options_.Create(GetHwnd())) return false;
  if (!about_.Create(GetHwnd())) return false;
  panel_ = kScan;
  ShowPanel(kScan);
  return true;
}

exmfc::CControlsHolder& CWorkArea::GetPanel(int index) {
  switch (index) {
    case kIEPlugins: return iePlugins_;
    case kStartup: return startup_;
    case kUninstall: return uninstall_;
    case kRestore: return restore_;
    case kOptions: return options_;
    case kAbout: return about_;
    default: return scan_;
  }
}

void CWorkArea::ShowPanel(int index) {
  description_.SetWindowText(LoadText(kDescriptions[index]).c_str());
  // Hide first so two panels never show at once.
  for (int i = 0; i < kPanelCount; ++i)
    if (i != index) GetPanel(i).Hide();
  GetPanel(index).Show();
  Invalidate();
}

void CWorkArea::SelectPanel(int index) {
  if (index < 0 || index >= kPanelCount || index == panel_) return;
  SelectPanelForced(index);
}

void CWorkArea::SelectPanelForced(int index) {
  if (index < 0 || index >= kPanelCount) return;
  panel_ = index;
  ShowPanel(index);
}

HWND CWorkArea::MainWindow() const {
  HWND parent = GetParent();
  return parent ? parent : GetHwnd();
}

void CWorkArea::OnScanNow() {
  const int mask = scan_.GetSelectedCategories();
  if (mask == 0) {
    MessageBoxA(GetHwnd(), "Error. You must select at least one category to scan.", kCaption,
                MB_ICONERROR);
    return;
  }
  int finished = 0;
  int cancelled = 0;
  {
    CProgressDlg progress(scan_.GetResults());
    progress.SetCategories(mask);
    scan_.ClearResults();
    scan_.GetList().Invalidate();
    progress.DoModal(MainWindow());
    finished = progress.GetFinishedMask();
    cancelled = progress.IsCancelled();
  }
  scan_.SetScannedCategories(finished);
  scan_.RecountRows();
  scan_.FillCategoryCounts();
  GetAppSettings().SaveCategoryCounts(scan_.GetCategoryCounts());

  if (cancelled) {
    MessageBoxA(GetHwnd(),
                "Scanning process was cancelled by user.\nNot all errors were found.\nWe "
                "recommend to rescan registry to find all errors.",
                kCaption, MB_ICONEXCLAMATION);
    return;
  }
  CAppOptions& options = GetAppOptions();
  if (options.GetScanAtStart()) {
    if (auto* frame = dynamic_cast<CMainFrame*>(fw::CWnd::FromHandle(MainWindow())))
      frame->ShowBalloon("Varnholt has finished the background scan.");
  }
  const int found = scan_.GetResults().Count();
  if (found == 0) {
    MessageBoxA(GetHwnd(), "Registry scan was successfully finished.\nNo errors were found.",
                kCaption, MB_ICONINFORMATION);
    return;
  }
  if (options.GetUseSound())
    PlaySoundA(MAKEINTRESOURCEA(IDW_SCANDONE), GetModuleHandleA(nullptr), SND_RESOURCE | SND_ASYNC);
  if (options.GetPromptToFix()) {
    char text[160];
    snprintf(text, sizeof text, "%d errors were found. Do you want to fix all these errors now?",
             found);
    if (MessageBoxA(GetHwnd(), text, kCaption, MB_YESNO | MB_ICONERROR) == IDYES) RunFix();
  }
}

void CWorkArea::OnFixErrors() {
  RegCheck::CActionList& results = scan_.GetResults();
  char text[200];
  snprintf(text, sizeof text,
           "Your computer have %d errors. You selected %d errors.\nDo you want to fix them now?",
           results.Count(), results.SelectedCount());
  if (MessageBoxA(MainWindow(), text, kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) RunFix();
}

void CWorkArea::RunFix() {
  RegCheck::FixOutcome outcome;
  {
    CFixProgressDlg dialog;
    const bool shown = dialog.CreateModeless(MainWindow());
    if (shown) dialog.ShowWindow(SW_SHOW);
    CFixRunProgress progress(dialog);
    const std::string version = GetAppSettings().GetVersionString();
    // Each fix snapshots its key and makes the journal durable, which adds
    // up to minutes on a large run: the fixes run on a worker while this
    // thread keeps the windows answering. The frame is disabled as under a
    // modal dialog, so nothing can start a scan, a fix or open the details
    // of the list the worker is changing.
    const HWND main = MainWindow();
    const bool wasEnabled = ::IsWindowEnabled(main) != FALSE;
    ::EnableWindow(main, FALSE);
    fixing_ = true;
    fw::CWorkerThread worker;
    if (worker.Start([&] {
          outcome = RegCheck::RunFixSelected(scan_.GetResults(), version,
                                             shown ? &progress : nullptr);
        })) {
      worker.WaitDispatching(50, [&] {
        if (shown) progress.Show();
      });
    } else {
      outcome = RegCheck::RunFixSelected(scan_.GetResults(), version, nullptr);
    }
    fixing_ = false;
    if (wasEnabled) ::EnableWindow(main, TRUE);
    if (shown) {
      dialog.ShowWindow(SW_HIDE);
      CloseWindow(dialog.GetHwnd());
      dialog.DestroyWindow();
    }
  }
  scan_.RecountRows();
  char head[120];
  snprintf(head, sizeof head, "%d of %d errors were fixed succesfully.", outcome.fixed,
           outcome.selected);
  std::string text = head;
  UINT icon = MB_ICONINFORMATION;
  if (outcome.fixed < outcome.selected) {
    // Without the reason a full backup folder or a refused deletion looks
    // like nothing at all.
    const std::string& reason = RegCheck::GetBackupManager().GetLastFailure();
    text += "\n\n" + std::to_string(outcome.selected - outcome.fixed) + " could not be fixed";
    text += reason.empty() ? std::string(".") : "; the last because " + reason;
    icon = MB_ICONWARNING;
  }
  MessageBoxA(MainWindow(), text.c_str(), kCaption, icon);
  GetAppSettings().MarkFixRun();
}

void CWorkArea::ShowCategoryDetails(int category) {
  int ignored = 0;
  {
    CDetailsDlg details(scan_.GetResults(), category);
    details.DoModal(MainWindow());
    ignored = details.GetIgnoredCount();
  }
  scan_.RecountRows();
  // Ignored errors are counted nowhere, the stored counts of the last scan
  // included.
  if (ignored) {
    scan_.FillCategoryCounts();
    GetAppSettings().SaveCategoryCounts(scan_.GetCategoryCounts());
  }
}

bool CWorkArea::OnCmdMsg(UINT id, UINT code, HWND control) {
  const int panel = PanelOfCommand(id);
  if (panel >= 0) {
    if (panel == kAbout)
      SelectPanelForced(panel);
    else
      SelectPanel(panel);
    return true;
  }
  if (code != BN_CLICKED) return CWnd::OnCmdMsg(id, code, control);
  if (options_.OnCommand(id, MainWindow())) return true;
  if (startup_.OnCommand(id) || iePlugins_.OnCommand(id) || uninstall_.OnCommand(id) ||
      restore_.OnCommand(id))
    return true;
  if (id == IDC_SCAN_NOW) {
    OnScanNow();
    return true;
  }
  if (id == IDC_FIX_ERRORS) {
    OnFixErrors();
    return true;
  }
  if (int category = CCleanListControl::CategoryOfDetailsCommand(id)) {
    ShowCategoryDetails(category);
    return true;
  }
  return CWnd::OnCmdMsg(id, code, control);
}

POINT CWorkArea::OffsetInFrame(HWND child) const {
  POINT p = {0, 0};
  HWND frame = GetParent();
  MapWindowPoints(child ? child : GetHwnd(), frame, &p, 1);
  return p;
}

LRESULT CWorkArea::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      POINT offset = OffsetInFrame(nullptr);
      SetBrushOrgEx(dc, -offset.x, -offset.y, nullptr);
      RECT r = GetClientRect();
      FillRect(dc, &r, patternBrush_ ? patternBrush_.Get() : darkBrush_.Get());
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      POINT offset = OffsetInFrame(reinterpret_cast<HWND>(lParam));
      SetBrushOrgEx(dc, -offset.x, -offset.y, nullptr);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(221, 221, 221));
      return reinterpret_cast<LRESULT>(patternBrush_ ? patternBrush_.Get() : darkBrush_.Get());
    }
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(whiteBrush_.Get());
    default:
      break;
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}
