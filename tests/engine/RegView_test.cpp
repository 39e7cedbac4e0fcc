// Which keys have a 32-bit twin, how paths name the view, and deletion of
// whole trees through it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RegView.h"
#include "support/RegistrySandbox.h"
#include "support/TestPlatform.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

using Paths = std::vector<std::string>;

TEST(RegView, KeysWithTwinsOnlyOn64BitWindows) {
  const bool twins = PrefixIs64Bit();
  ASSERT_EQ(twins, IsWindows64());
  const RegView native = twins ? RegView::kNativeView : RegView::kShared;
  const RegView wow32 = twins ? RegView::kWow32View : RegView::kShared;

  EXPECT_EQ(native, ViewOfKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_EQ(native, ViewOfKey(HKEY_LOCAL_MACHINE, "software\\Vendor"));
  EXPECT_EQ(wow32, ViewOfKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Vendor"));
  EXPECT_EQ(wow32, ViewOfKey(HKEY_LOCAL_MACHINE, "Software\\WOW6432NODE"));
  // Only the whole component names the twin.
  EXPECT_EQ(native, ViewOfKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432NodeX\\Vendor"));
  EXPECT_EQ(native, ViewOfKey(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-000000000001}"));
  EXPECT_EQ(native, ViewOfKey(HKEY_CLASSES_ROOT, "typelib"));
  EXPECT_EQ(wow32, ViewOfKey(HKEY_CLASSES_ROOT, "Wow6432Node\\CLSID"));

  // Keys both kinds of program share.
  for (const char* path : {"SOFTWARE", "SOFTWARE\\Classes\\CLSID", "SYSTEM\\CurrentControlSet\\Services", ""})
    EXPECT_EQ(RegView::kShared, ViewOfKey(HKEY_LOCAL_MACHINE, path)) << path;
  for (const char* path : {".txt", "txtfile\\shell\\open\\command", "CLSIDX", ""})
    EXPECT_EQ(RegView::kShared, ViewOfKey(HKEY_CLASSES_ROOT, path)) << path;
  EXPECT_EQ(RegView::kShared, ViewOfKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_EQ(RegView::kShared, ViewOfKey(HKEY_CURRENT_USER, "Software\\Wow6432Node\\Vendor"));
}

TEST(RegView, TwinsFollowTheirNativeKey) {
  const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  if (PrefixIs64Bit()) {
    EXPECT_EQ(Paths({kRun, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"}),
              ViewsOf(HKEY_LOCAL_MACHINE, kRun));
    EXPECT_EQ(Paths({"CLSID", "Wow6432Node\\CLSID"}), ViewsOf(HKEY_CLASSES_ROOT, "CLSID"));
  } else {
    EXPECT_EQ(Paths({kRun}), ViewsOf(HKEY_LOCAL_MACHINE, kRun));
    EXPECT_EQ(Paths({"CLSID"}), ViewsOf(HKEY_CLASSES_ROOT, "CLSID"));
  }
  // A twin has no twin of its own, and shared keys have none.
  EXPECT_EQ(Paths({"SOFTWARE\\Wow6432Node\\X"}), ViewsOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\X"));
  EXPECT_EQ(Paths({"Software\\X"}), ViewsOf(HKEY_CURRENT_USER, "Software\\X"));
  EXPECT_EQ(Paths({".txt"}), ViewsOf(HKEY_CLASSES_ROOT, ".txt"));
}

TEST(RegView, OnlyA32BitProcessOn64BitWindowsAddsTheViewFlag) {
  EXPECT_EQ(ExpectWow64(), IsRunningUnderWow64());
  EXPECT_EQ(ExpectWow64() ? KEY_READ | KEY_WOW64_64KEY : KEY_READ, WithView(KEY_READ));
}

class DeleteKeyTreeTest : public SandboxTest {};

TEST_F(DeleteKeyTreeTest, RemovesTheWholeSubtreeAndNothingBeside) {
  SetString(HKEY_CURRENT_USER, "Software\\T\\Victim", "v", "1");
  SetString(HKEY_CURRENT_USER, "Software\\T\\Victim\\A\\Deep\\Deeper", "w", "2");
  CreateKey(HKEY_CURRENT_USER, "Software\\T\\Victim\\B");
  SetString(HKEY_CURRENT_USER, "Software\\T\\VictimSibling", "v", "3");
  HKEY parent = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, KEY_ALL_ACCESS, &parent));
  EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(parent, "Victim"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteKeyTree(parent, "Victim"));
  RegCloseKey(parent);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\T\\Victim"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\T\\VictimSibling", "v"));
}

TEST(RegView, ReportsNameTheViewOfALocation) {
  EXPECT_STREQ("32-bit", ViewNameOfLocation("HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Run (VALUE:x)"));
  EXPECT_STREQ("32-bit", ViewNameOfLocation("HKCR\\WOW6432NODE\\CLSID\\{x}"));
  EXPECT_STREQ("native", ViewNameOfLocation("HKLM\\SOFTWARE\\Microsoft\\Run (VALUE:Wow6432Node)"));
  EXPECT_STREQ("native", ViewNameOfLocation("HKLM\\SOFTWARE\\Wow6432NodeX\\Y"));
  EXPECT_STREQ("native", ViewNameOfLocation(""));
}

}  // namespace
