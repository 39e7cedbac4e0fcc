// A scan over many entries counts every visit but posts only a trickle of
// progress messages to the dialog, so the UI thread is never flooded.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AppFixture.h"
#include "app/ProgressDlg.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace apptest;
using namespace RegCheck;
using namespace testsupport;

namespace {

// Progress messages carry the posted id 0x8003.
constexpr UINT kProgressMessage = 0x8003;
volatile LONG g_progressMessages = 0;

LRESULT CALLBACK CountProgress(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == kProgressMessage)
    InterlockedIncrement(&g_progressMessages);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ProgressThrottleTest : public SandboxTest {
 protected:
  TempFolder temp_;
};

TEST_F(ProgressThrottleTest, EveryVisitCountedFewMessagesPosted) {
  for (int i = 0; i < 3000; ++i)
    SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, temp_.PathOf("gone\\p" + std::to_string(i) + ".dll"),
             1);
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &CountProgress, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  g_progressMessages = 0;
  CActionList results;
  CProgressDlg dialog(results);
  dialog.SetCategories(kCatSharedDll);
  const DWORD start = GetTickCount();
  EXPECT_EQ(1, dialog.DoModal(nullptr));
  const DWORD elapsed = GetTickCount() - start;
  UnhookWindowsHookEx(hook);

  // Nothing is lost from the counts...
  EXPECT_EQ(3000, GetScanCoordinator().GetValuesVisited());
  EXPECT_EQ(3000, results.Count());
  // ...while at most one message per 25 ms reached the queue, however slow
  // or fast the machine: on a scan of a second that is a few dozen messages
  // for 3000 visits.
  EXPECT_GT(g_progressMessages, 0);
  EXPECT_LE(g_progressMessages, static_cast<LONG>(elapsed / 25 + 2))
      << "in " << elapsed << " ms: one progress message per visit floods the UI thread";
}

}  // namespace
