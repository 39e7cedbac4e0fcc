// Handle owners: closing, handing over, moving, the empty value of each
// kind, borrowed handles and the select guard.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include <utility>

#include "engine/Handle.h"

using namespace RegCheck;

namespace {

// True while `h` names an open kernel object of this process.
bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

TEST(HandleOwnerTest, KernelHandlesCloseOnResetAndOnDestruction) {
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(first && second);
  {
    OwnedHandle event(first);
    EXPECT_TRUE(event.Valid());
    event.Reset(first);
    EXPECT_TRUE(IsOpen(first)) << "taking the handle already held must not close it";
    event.Reset(second);
    EXPECT_FALSE(IsOpen(first));
    EXPECT_EQ(second, event.Get());
  }
  EXPECT_FALSE(IsOpen(second));
}

TEST(HandleOwnerTest, EachKindHoldsItsOwnEmptyValue) {
  OwnedHandle event;
  OwnedFile file;
  EXPECT_EQ(nullptr, event.Get());
  EXPECT_EQ(INVALID_HANDLE_VALUE, file.Get());
  EXPECT_FALSE(event.Valid());
  EXPECT_FALSE(file.Valid());
  // A failed CreateFile is no handle either, and closing it is never tried.
  OwnedFile missing(CreateFileA("Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing.Valid());
  EXPECT_FALSE(static_cast<bool>(missing));
  EXPECT_FALSE(OwnedHandle(INVALID_HANDLE_VALUE).Valid());
  OwnedHandle released(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE kept = released.Release();
  EXPECT_EQ(nullptr, released.Get());
  EXPECT_TRUE(IsOpen(kept));
  CloseHandle(kept);
  OwnedFile handedOver(INVALID_HANDLE_VALUE);
  EXPECT_EQ(INVALID_HANDLE_VALUE, handedOver.Release());
}

TEST(HandleOwnerTest, FileSearchEndsWithItsOwner) {
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  WIN32_FIND_DATAA found;
  HANDLE raw = INVALID_HANDLE_VALUE;
  {
    OwnedFind search(FindFirstFileA((std::string(windows) + "\\*").c_str(), &found));
    ASSERT_TRUE(search.Valid());
    raw = search.Get();
    EXPECT_TRUE(FindNextFileA(raw, &found));
  }
  SetLastError(0);
  EXPECT_FALSE(FindNextFileA(raw, &found)) << "the search was ended";
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  OwnedFind none(FindFirstFileA("Z:\\no\\such\\folder\\*", &found));
  EXPECT_FALSE(none.Valid());
}

TEST(HandleOwnerTest, MovingHandsTheObjectOverAndAssigningClosesTheOldOne) {
  HBITMAP kept;
  HBITMAP gone;
  HBITMAP replaced;
  {
    OwnedBitmap a(CreateBitmap(4, 4, 1, 32, nullptr));
    OwnedBitmap b(CreateBitmap(4, 4, 1, 32, nullptr));
    OwnedBitmap c(CreateBitmap(4, 4, 1, 32, nullptr));
    gone = a.Get();
    kept = b.Release();
    replaced = c.Get();
    OwnedBitmap moved(std::move(a));
    EXPECT_EQ(nullptr, a.Get());
    EXPECT_EQ(gone, moved.Get());
    c = std::move(moved);
    EXPECT_EQ(0u, GetObjectType(replaced));
    EXPECT_EQ(gone, c.Get());
    EXPECT_EQ(nullptr, moved.Get());
  }
  EXPECT_EQ(0u, GetObjectType(gone));
  EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(kept));
  DeleteObject(kept);
}

TEST(HandleOwnerTest, BorrowedHandlesNeverDelete) {
  OwnedFont font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "Tahoma"));
  ASSERT_TRUE(font.Valid());
  {
    BorrowedFont borrowed(font);
    BorrowedFont copy = borrowed;
    EXPECT_EQ(font.Get(), copy.Get());
    EXPECT_TRUE(copy.Valid());
  }
  EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(font));
  EXPECT_FALSE(BorrowedFont().Valid());
}

TEST(HandleOwnerTest, SelectGuardPutsThePreviousObjectBack) {
  HDC seen;
  {
    OwnedDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.Valid());
    seen = dc.Get();
    const HGDIOBJ before = GetCurrentObject(dc, OBJ_BRUSH);
    OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    {
      SelectGuard guard(dc, red);
      EXPECT_EQ(red.Get(), GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(before, GetCurrentObject(dc, OBJ_BRUSH));
    {
      SelectGuard none(dc, nullptr);
      EXPECT_EQ(before, GetCurrentObject(dc, OBJ_BRUSH));
    }
  }
  EXPECT_EQ(0u, GetObjectType(seen));
}

}  // namespace
