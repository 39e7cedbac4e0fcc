#pragma once
// The dialog behind "Schedule...": turns the weekly or monthly background
// scan (the "Varnholt" task of the Windows Task Scheduler) on or off and
// sets its day and time. Cancel leaves the task as it was.

#include <windows.h>

#include <memory>
#include <string>

#include "app/schedule/ScheduledTask.h"
#include "exmfc/WindowSkin.h"
#include "framework/Dialog.h"

class CSchedulerDlg : public exmfc::CWindowSkin<fw::CDialog> {
 public:
  CSchedulerDlg();
  ~CSchedulerDlg() override;

  // The folder the program runs in: `programPath` up to its last
  // backslash; the path unchanged when it has none.
  static std::string ProgramFolder(const std::string& programPath);

  const std::string& GetProgramPath() const { return programPath_; }
  const std::string& GetProgramFolder() const { return programFolder_; }
  // False when COM or the task scheduler could not be reached; the dialog
  // then shows the schedule off and OK changes no task.
  bool SchedulerAvailable() const { return task_ && task_->Available(); }

  // Writes the task as the controls show it (or deletes it when the box is
  // unticked), then closes the dialog.
  void OnOK() override;

 protected:
  void InitSkin() override;
  BOOL OnInitDialog() override;
  bool OnCmdMsg(UINT id, UINT code, HWND control) override;

 private:
  void LoadTask();
  void EnableChoices(bool on) const;
  // Refills the day list for the selected frequency and selects its first
  // day, unless the list already holds that frequency's days.
  void RefillDays();
  void OnEnableClicked();
  int Selection(int id) const;
  void Select(int id, int index) const;
  bool IsTicked() const;

  std::string programPath_;
  std::string programFolder_;
  int filledFrequency_ = -1;
  std::unique_ptr<RegCheck::CScheduledTask> task_;
};
