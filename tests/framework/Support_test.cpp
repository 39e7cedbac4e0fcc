// Handles, worker threads and the application object.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "framework/FrameWnd.h"
#include "framework/GdiObject.h"
#include "framework/WinApp.h"
#include "framework/WorkerThread.h"

namespace {

TEST(GdiObjectTest, OwnerDeletesAndReleaseHandsOver) {
  HBITMAP kept;
  HBITMAP gone;
  {
    fw::OwnedBitmap a(CreateBitmap(4, 4, 1, 32, nullptr));
    fw::OwnedBitmap b(CreateBitmap(4, 4, 1, 32, nullptr));
    gone = a.Get();
    kept = b.Release();
    fw::OwnedBitmap moved(std::move(a));
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(moved.Get(), gone);
  }
  EXPECT_EQ(GetObjectType(gone), 0u);
  EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
  DeleteObject(kept);
}

TEST(GdiObjectTest, SelectGuardPutsThePreviousObjectBack) {
  fw::OwnedDC dc(CreateCompatibleDC(nullptr));
  HGDIOBJ before = GetCurrentObject(dc, OBJ_BRUSH);
  fw::OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  {
    fw::SelectGuard guard(dc, red);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), red.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), before);
}

TEST(GdiObjectTest, MemoryDcFreesItsBitmapAndDc) {
  HBITMAP bitmap;
  HDC dc;
  {
    fw::MemoryDC mem(nullptr, 20, 10);
    ASSERT_TRUE(mem.Ok());
    bitmap = mem.Bitmap();
    dc = mem.Get();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 20);
    EXPECT_GT(info.bmBitsPixel, 1) << "screen format, not monochrome";
  }
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(GetObjectType(dc), 0u);
}

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
