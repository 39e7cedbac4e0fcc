// The scan progress dialog on its own: it runs the coordinator, ends by
// itself at the end of the run, and cancels on Esc with the worker stopped
// and every selected category reported finished.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/ProgressDlg.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "res/resource.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"
#include "support/gui/ResponsivenessProbe.h"

using namespace apptest;
using namespace RegCheck;
using namespace testsupport;

namespace {

class ProgressDlgTest : public SandboxTest {
 protected:
  // Through one open key: tens of thousands of values are planted quickly.
  void Plant(int count) {
    RegKey dlls;
    ASSERT_EQ(ERROR_SUCCESS, dlls.Create(HKEY_LOCAL_MACHINE, kSharedDlls));
    for (int i = 0; i < count; ++i)
      dlls.SetDWORDValue(temp_.PathOf("gone\\p" + std::to_string(i) + ".dll").c_str(), 1);
  }
  TempFolder temp_;
};

TEST_F(ProgressDlgTest, OneCategoryScanEndsByItself) {
  Plant(2);
  CActionList results;
  CProgressDlg dialog(results);
  dialog.SetCategories(kCatSharedDll);
  EXPECT_EQ(1, dialog.DoModal(nullptr));
  EXPECT_EQ(kCatSharedDll, dialog.GetFinishedMask());
  EXPECT_EQ(0, dialog.IsCancelled());
  EXPECT_EQ(2, results.Count());
  EXPECT_FALSE(GetScanCoordinator().IsRunning());
}

TEST_F(ProgressDlgTest, EscCancelsAndWaitsForTheWorker) {
  // Enough that the walk, at one registry call per value, is still busy
  // when Esc arrives on a loaded machine.
  Plant(30000);
  SetString(HKEY_LOCAL_MACHINE, kHelp, "late.hlp", temp_.PathOf("nohelp"));
  CActionList results;
  CProgressDlg dialog(results);
  const int mask = kCatSharedDll | kCatHelpFiles;
  dialog.SetCategories(mask);
  std::string section;
  DialogDriver esc(IDC_PROGRESS_CANCEL, [&](HWND hwnd) {
    // Wait for the first section text, then press Esc on the dialog.
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000 && section.empty()) {
      for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (WindowTextOf(c).find("Entries...") != std::string::npos) section = WindowTextOf(c);
      Sleep(2);
    }
    HWND focus = GetDlgItem(hwnd, IDC_PROGRESS_CANCEL);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0);
  });
  EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
  ASSERT_TRUE(esc.Wait());
  EXPECT_EQ("Shared DLLs Entries...", section);
  EXPECT_EQ(1, dialog.IsCancelled());
  EXPECT_EQ(mask, dialog.GetFinishedMask());
  EXPECT_GT(results.Count(), 0);
  EXPECT_LT(results.Count(), 30000);
  for (CRegistryAction* action : results) EXPECT_EQ(kCatSharedDll, action->GetCategory());
  EXPECT_FALSE(GetScanCoordinator().IsRunning());
  EXPECT_FALSE(GetScanCoordinator().IsCancelled());
}

// A worker that takes two seconds to wind down after the cancel, as one
// slow registry or file-system call would make it.
class SlowToStopDlg : public CProgressDlg {
 public:
  using CProgressDlg::CProgressDlg;
  void OnStage(int category, int begin) override {
    if (!begin && category != 0 && GetScanCoordinator().IsCancelled()) Sleep(2000);
    CProgressDlg::OnStage(category, begin);
  }
};

TEST_F(ProgressDlgTest, KeepsAnsweringWhileACancelWaitsForTheWorker) {
  Plant(3000);
  CActionList results;
  SlowToStopDlg dialog(results);
  dialog.SetCategories(kCatSharedDll);
  std::atomic<HWND> shown{nullptr};
  std::atomic<DWORD> pressedAt{0};
  DialogDriver cancel(IDC_PROGRESS_CANCEL, [&](HWND hwnd) {
    shown = hwnd;
    Sleep(100);
    pressedAt = GetTickCount();
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_PROGRESS_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_PROGRESS_CANCEL)));
  });
  guitest::ResponsivenessProbe probe([&] { return std::vector<HWND>{shown.load()}; });
  EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
  const DWORD endedAfter = GetTickCount() - pressedAt;
  probe.Stop();
  ASSERT_TRUE(cancel.Wait());
  EXPECT_EQ(0, probe.Late()) << probe.Report();
  // The wait really happened: the probe got answers during it.
  EXPECT_GE(endedAfter, 1900u);
  EXPECT_GE(probe.Answered(), 10);
  EXPECT_EQ(1, dialog.IsCancelled());
  EXPECT_EQ(kCatSharedDll, dialog.GetFinishedMask());
  EXPECT_FALSE(GetScanCoordinator().IsRunning());
  EXPECT_FALSE(GetScanCoordinator().IsCancelled());
}

TEST(ProgressDlgTextTest, OnlySingleCategoryBitsHaveASection) {
  EXPECT_STREQ("Application & Installer Paths Entries...", CProgressDlg::SectionText(kCatAppPath));
  EXPECT_STREQ("MRU & History Entries...", CProgressDlg::SectionText(kCatHistory));
  EXPECT_STREQ("", CProgressDlg::SectionText(0));
  EXPECT_STREQ("", CProgressDlg::SectionText(kCatAppPath | kCatSharedDll));
  EXPECT_STREQ("", CProgressDlg::SectionText(0x400));
}

}  // namespace
