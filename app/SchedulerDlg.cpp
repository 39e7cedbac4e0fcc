#include "app/SchedulerDlg.h"

#include <commctrl.h>

#include "exmfc/DpiScale.h"
#include "framework/Controls.h"
#include "res/resource.h"

using RegCheck::kMonthly;
using RegCheck::kWeekly;

CSchedulerDlg::CSchedulerDlg() : CWindowSkin(IDB_DLG_SCHEDULER, static_cast<UINT>(IDD_SCHEDULER)) {
  // The template holds a date-time picker, whose class must exist before
  // the dialog manager creates the controls.
  fw::EnsureCommonControls();
}

CSchedulerDlg::~CSchedulerDlg() = default;

std::string CSchedulerDlg::ProgramFolder(const std::string& programPath) {
  const size_t slash = programPath.find_last_of('\\');
  return slash == std::string::npos ? programPath : programPath.substr(0, slash);
}

void CSchedulerDlg::InitSkin() {
  regionOn_ = true;
  keyColour_ = RGB(255, 0, 255);
  // The template sizes the dialog in dialog units, which follow the font
  // and so the DPI; the caption strip is as wide as the result.
  RECT client = GetClientRect();
  captionRect_ = RECT{0, 0, client.right, exmfc::Scale(33)};
  ctlTextColour_ = RGB(0, 0, 0);
  cursor_ = LoadCursor(nullptr, IDC_ARROW);
}

BOOL CSchedulerDlg::OnInitDialog() {
  CWindowSkin::OnInitDialog();
  CenterWindow();
  HWND frequency = GetDlgItem(IDC_SCHED_FREQUENCY);
  ::SendMessageA(frequency, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Weekly"));
  ::SendMessageA(frequency, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Monthly"));
  EnableChoices(IsTicked());
  LoadTask();
  return TRUE;
}

void CSchedulerDlg::LoadTask() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  programPath_ = path;
  programFolder_ = ProgramFolder(programPath_);

  // COM is joined on the dialog's own thread and left when the dialog
  // object goes; without it the schedule simply shows as off.
  task_.reset(new RegCheck::CScheduledTask);
  RegCheck::ScheduleChoice choice;
  if (!task_->Load(choice)) return;
  CheckDlgButton(GetHwnd(), IDC_SCHED_ENABLE, BST_CHECKED);
  EnableChoices(true);
  Select(IDC_SCHED_FREQUENCY, choice.frequency);
  RefillDays();
  Select(IDC_SCHED_DAY, choice.dayIndex);
  // The picker keeps its default time: the stored start time is not shown.
}

bool CSchedulerDlg::IsTicked() const {
  return IsDlgButtonChecked(GetHwnd(), IDC_SCHED_ENABLE) == BST_CHECKED;
}

int CSchedulerDlg::Selection(int id) const {
  return static_cast<int>(::SendMessageA(GetDlgItem(id), CB_GETCURSEL, 0, 0));
}

void CSchedulerDlg::Select(int id, int index) const {
  ::SendMessageA(GetDlgItem(id), CB_SETCURSEL, index, 0);
}

void CSchedulerDlg::EnableChoices(bool on) const {
  for (int id : {IDC_SCHED_FREQUENCY, IDC_SCHED_DAY, IDC_SCHED_TIME})
    ::EnableWindow(GetDlgItem(id), on ? TRUE : FALSE);
}

void CSchedulerDlg::RefillDays() {
  const int frequency = Selection(IDC_SCHED_FREQUENCY);
  if (frequency == filledFrequency_) return;
  filledFrequency_ = frequency;
  HWND days = GetDlgItem(IDC_SCHED_DAY);
  ::SendMessageA(days, CB_RESETCONTENT, 0, 0);
  if (frequency != kWeekly && frequency != kMonthly) return;
  for (int i = 0; i < RegCheck::DayCount(frequency); ++i)
    ::SendMessageA(days, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(RegCheck::DayText(frequency, i).c_str()));
  ::SendMessageA(days, CB_SETCURSEL, 0, 0);
}

void CSchedulerDlg::OnEnableClicked() {
  const bool on = IsTicked();
  EnableChoices(on);
  if (!on) return;
  Select(IDC_SCHED_FREQUENCY, kMonthly);
  RefillDays();
  // Ticking always starts from the first day, also when the list already
  // held the monthly days.
  Select(IDC_SCHED_DAY, 0);
}

void CSchedulerDlg::OnOK() {
  if (task_) {
    if (IsTicked()) {
      RegCheck::ScheduleChoice choice;
      choice.frequency = Selection(IDC_SCHED_FREQUENCY) == kWeekly ? kWeekly : kMonthly;
      const int day = Selection(IDC_SCHED_DAY);
      choice.dayIndex = day >= 0 && day < RegCheck::DayCount(choice.frequency) ? day : 0;
      SYSTEMTIME time{};
      if (::SendMessageA(GetDlgItem(IDC_SCHED_TIME), DTM_GETSYSTEMTIME, 0,
                         reinterpret_cast<LPARAM>(&time)) == GDT_VALID) {
        choice.hour = time.wHour;
        choice.minute = time.wMinute;
      }
      task_->Save(programPath_, programFolder_, choice);
    } else {
      task_->Delete();
    }
  }
  EndDialog(IDOK);
}

bool CSchedulerDlg::OnCmdMsg(UINT id, UINT code, HWND control) {
  if (id == IDC_SCHED_FREQUENCY && code == CBN_SELCHANGE) {
    RefillDays();
    return true;
  }
  if (id == IDC_SCHED_ENABLE && code == BN_CLICKED) {
    OnEnableClicked();
    return true;
  }
  return CWindowSkin::OnCmdMsg(id, code, control);
}
