#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "framework/Controls.h"
#include "framework/GdiObject.h"
#include "framework/Wnd.h"
#include "support/gui/MessagePump.h"

namespace {

const RECT kRect = {200, 200, 500, 400};

class RecordingWnd : public fw::CWnd {
 public:
  std::vector<UINT> seen;
  bool postNcDestroyCalled = false;
  bool throwOnUser = false;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    seen.push_back(msg);
    if (msg == WM_USER && throwOnUser) throw std::runtime_error("boom");
    if (msg == WM_USER + 1) return 0x1234;
    return fw::CWnd::WindowProc(msg, w, l);
  }
  void PostNcDestroy() override { postNcDestroyCalled = true; }
};

const char* PlainClass() { return fw::CWnd::RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW)); }

TEST(WndTest, ObjectIsBoundBeforeNcCreateAndUnboundAtNcDestroy) {
  RecordingWnd wnd;
  ASSERT_NE(PlainClass(), nullptr);
  ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "w", WS_POPUP, kRect, nullptr, 0));
  HWND hwnd = wnd.GetHwnd();
  EXPECT_EQ(fw::CWnd::FromHandle(hwnd), &wnd);
  // WM_GETMINMAXINFO may come first for a top-level window; nothing of the
  // creation may be missed.
  auto nc = std::find(wnd.seen.begin(), wnd.seen.end(), static_cast<UINT>(WM_NCCREATE));
  auto create = std::find(wnd.seen.begin(), wnd.seen.end(), static_cast<UINT>(WM_CREATE));
  ASSERT_NE(nc, wnd.seen.end());
  ASSERT_NE(create, wnd.seen.end());
  EXPECT_LT(nc - wnd.seen.begin(), create - wnd.seen.begin());
  EXPECT_EQ(wnd.SendMessage(WM_USER + 1), 0x1234);

  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_EQ(wnd.seen.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_TRUE(wnd.postNcDestroyCalled);
  EXPECT_EQ(wnd.GetHwnd(), nullptr);
  EXPECT_EQ(fw::CWnd::FromHandle(hwnd), nullptr);
}

TEST(WndTest, SameClassIsRegisteredOnce) {
  const char* a = fw::CWnd::RegisterWndClass(CS_DBLCLKS);
  const char* b = fw::CWnd::RegisterWndClass(CS_DBLCLKS);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_STRNE(a, PlainClass());
}

TEST(WndTest, ExceptionDoesNotCrossTheWindowProcedure) {
  RecordingWnd wnd;
  wnd.throwOnUser = true;
  ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "w", WS_POPUP, kRect, nullptr, 0));
  LRESULT r = 99;
  EXPECT_NO_THROW(r = wnd.SendMessage(WM_USER));
  EXPECT_EQ(r, 0);
  EXPECT_TRUE(IsWindow(wnd.GetHwnd()));
  EXPECT_EQ(wnd.SendMessage(WM_USER + 1), 0x1234);  // still dispatching
  wnd.DestroyWindow();
}

TEST(WndTest, FailedCreationLeavesObjectUnbound) {
  RecordingWnd wnd;
  EXPECT_FALSE(wnd.CreateEx(0, "NoSuchClassAnywhere", "w", WS_POPUP, kRect, nullptr, 0));
  EXPECT_EQ(wnd.GetHwnd(), nullptr);
  // The object can still create a window afterwards.
  EXPECT_TRUE(wnd.CreateEx(0, PlainClass(), "w", WS_POPUP, kRect, nullptr, 0));
  wnd.DestroyWindow();
}

TEST(WndTest, SubclassAndUnsubclassAnExistingWindow) {
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  LONG_PTR original = GetWindowLongPtrA(button, GWLP_WNDPROC);
  {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Subclass(button));
    RecordingWnd other;
    EXPECT_FALSE(other.Subclass(button)) << "a window has one object";
    SetWindowTextA(button, "text");
    EXPECT_NE(std::find(wnd.seen.begin(), wnd.seen.end(), static_cast<UINT>(WM_SETTEXT)),
              wnd.seen.end());
    char buf[16] = {};
    GetWindowTextA(button, buf, sizeof buf);
    EXPECT_STREQ(buf, "text") << "default handling reaches the button's own procedure";
    EXPECT_EQ(wnd.UnsubclassWindow(), button);
    EXPECT_EQ(GetWindowLongPtrA(button, GWLP_WNDPROC), original);
    EXPECT_EQ(fw::CWnd::FromHandle(button), nullptr);
  }
  EXPECT_TRUE(IsWindow(button)) << "an unsubclassed window is not destroyed with the object";
  DestroyWindow(button);
}

TEST(WndTest, DestructorDestroysTheWindow) {
  HWND hwnd;
  {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "w", WS_POPUP, kRect, nullptr, 0));
    hwnd = wnd.GetHwnd();
  }
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(fw::CWnd::FromHandle(hwnd), nullptr);
}

// Owner-drawn list that measures 21-pixel rows and counts its drawing.
class RowList : public fw::CListBox {
 public:
  int measured = 0;
  int drawn = 0;

 protected:
  void MeasureItem(MEASUREITEMSTRUCT* item) override {
    ++measured;
    item->itemHeight = 21;
  }
  void DrawItem(DRAWITEMSTRUCT* item) override {
    ++drawn;
    FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
};

class ColouredStatic : public fw::CStatic {
 public:
  fw::OwnedBrush brush{CreateSolidBrush(RGB(1, 2, 3))};
  int asked = 0;

 protected:
  HBRUSH CtlColor(HDC, UINT msg) override {
    ++asked;
    return msg == WM_CTLCOLORSTATIC ? brush.Get() : nullptr;
  }
};

class CommandTarget : public fw::CWnd {
 public:
  std::vector<UINT> got;
  bool OnCmdMsg(UINT id, UINT, HWND) override {
    if (id != 7) return false;
    got.push_back(id);
    return true;
  }
};

class Parent : public fw::CWnd {
 public:
  CommandTarget* first = nullptr;
  std::vector<UINT> own;
  bool OnCmdMsg(UINT id, UINT code, HWND ctl) override {
    if (first && first->OnCmdMsg(id, code, ctl)) return true;
    own.push_back(id);
    return true;
  }
};

TEST(WndTest, OwnerDrawAndColourMessagesAreReflectedToTheChild) {
  Parent parent;
  ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "p", WS_POPUP | WS_VISIBLE, kRect, nullptr, 0));
  RowList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                              LBS_NOINTEGRALHEIGHT,
                          RECT{0, 0, 200, 150}, parent, 42));
  // WM_MEASUREITEM arrives while the list is still inside CreateWindowEx.
  EXPECT_EQ(list.measured, 1);
  EXPECT_EQ(list.GetItemHeight(0), 21);
  list.AddString("one");
  list.AddString("two");
  UpdateWindow(parent);
  guitest::PumpPending();
  EXPECT_GE(list.drawn, 2);

  ColouredStatic label;
  ASSERT_TRUE(label.Create("label", WS_CHILD | WS_VISIBLE, RECT{0, 160, 100, 180}, parent, 43));
  HDC dc = GetDC(label);
  LRESULT brush = SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(label.GetHwnd()));
  ReleaseDC(label, dc);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), label.brush.Get());
  EXPECT_GE(label.asked, 1);
  parent.DestroyWindow();
}

TEST(WndTest, ParentCanOfferCommandsToAnotherObjectFirst) {
  Parent parent;
  CommandTarget area;
  parent.first = &area;
  ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "p", WS_POPUP, kRect, nullptr, 0));
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);
  EXPECT_EQ(area.got, std::vector<UINT>{7});
  EXPECT_EQ(parent.own, std::vector<UINT>{8});
  parent.DestroyWindow();
}

}  // namespace
