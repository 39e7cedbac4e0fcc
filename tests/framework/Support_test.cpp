// Worker threads and the application object.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "framework/WorkerThread.h"

namespace {

TEST(WorkerThreadTest, RunsTheBodyAndWaitsOnDestruction) {
  std::atomic<int> done{0};
  {
    fw::CWorkerThread t;
    ASSERT_TRUE(t.Start([&] {
      Sleep(50);
      done = 1;
    }));
    EXPECT_FALSE(t.Start([] {})) << "one thread at a time";
  }
  EXPECT_EQ(done, 1);
  fw::CWorkerThread again;
  ASSERT_TRUE(again.Start([&] { done = 2; }));
  EXPECT_TRUE(again.Wait(5000));
  EXPECT_EQ(done, 2);
  EXPECT_FALSE(again.IsRunning());
}

// The waiting thread answers what another thread sends it, runs its
// wake-up callback while it waits, and a quit request taken off its queue
// meanwhile is still there afterwards.
TEST(WorkerThreadTest, WaitDispatchingAnswersSendsAndKeepsTheQuit) {
  const DWORD uiThread = GetCurrentThreadId();
  HWND target = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, target);
  std::atomic<int> answered{0};
  fw::CWorkerThread t;
  ASSERT_TRUE(t.Start([&] {
    DWORD_PTR result = 0;
    for (int i = 0; i < 3; ++i) {
      if (SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) ++answered;
      Sleep(30);
    }
    PostThreadMessageA(uiThread, WM_QUIT, 7, 0);
    Sleep(30);
  }));
  int wakes = 0;
  t.WaitDispatching(20, [&] { ++wakes; });
  EXPECT_FALSE(t.IsRunning());
  EXPECT_EQ(3, answered);
  EXPECT_GE(wakes, 2);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, msg.wParam);
  DestroyWindow(target);
}

class QuitApp : public fw::CWinApp {
 public:
  QuitApp() : fw::CWinApp("QuitApp") {}
  fw::CFrameWnd frame;
  bool exited = false;
  BOOL InitInstance() override {
    fw::CWinApp::InitInstance();
    if (!frame.Create(nullptr, "frame", WS_POPUP, RECT{300, 300, 400, 400})) return FALSE;
    SetMainWnd(&frame);
    frame.PostMessage(WM_CLOSE);
    return TRUE;
  }
  int ExitInstance() override {
    exited = true;
    return fw::CWinApp::ExitInstance() + 40;
  }
};

TEST(WinAppTest, ClosingTheMainFrameEndsTheLoop) {
  QuitApp app;
  EXPECT_EQ(fw::GetApp(), &app);
  EXPECT_EQ(app.Main(GetModuleHandleA(nullptr), SW_SHOW), 40);
  EXPECT_TRUE(app.exited);
  EXPECT_EQ(app.GetMainWnd(), nullptr);
  EXPECT_EQ(app.frame.GetHwnd(), nullptr);
}

class FailingApp : public fw::CWinApp {
 public:
  FailingApp() : fw::CWinApp("FailingApp") {}
  bool exited = false;
  BOOL InitInstance() override { return FALSE; }
  int ExitInstance() override {
    exited = true;
    return 3;
  }
};

TEST(WinAppTest, FailedInitSkipsTheLoopButStillExits) {
  FailingApp app;
  EXPECT_EQ(app.Main(GetModuleHandleA(nullptr), SW_SHOW), 3);
  EXPECT_TRUE(app.exited);
}

}  // namespace
