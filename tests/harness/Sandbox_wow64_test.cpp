// The registry sandbox must hold: nothing a test writes may reach the real
// registry, on any of the three roots.

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "engine/RegKey.h"
#include "support/RegistrySandbox.h"

using namespace testsupport;

namespace {

const char* kCanaryKey = "Software\\VarnholtTests\\Canary";

std::string ReadCanary(HKEY root) {
  DWORD type = 0;
  std::string data;
  if (!ReadRaw(root, kCanaryKey, "probe", type, data)) return "<absent>";
  return data;
}

DWORD WINAPI ProbeFromThread(LPVOID) {
  return KeyExists(HKEY_LOCAL_MACHINE, "Software\\FromMain") ? 1 : 0;
}

}  // namespace

TEST(RegistrySandbox, WritesInsideNeverReachTheRealRoots) {
  // Record a value outside any sandbox, on the real HKCU.
  SetString(HKEY_CURRENT_USER, kCanaryKey, "probe", "outside");
  const std::string before = ReadCanary(HKEY_CURRENT_USER);
  ASSERT_EQ(std::string("outside\0", 8), before);
  {
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.Active());
    // Inside, the same path is empty and writable on each root.
    EXPECT_EQ("<absent>", ReadCanary(HKEY_CURRENT_USER));
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
      SetString(root, kCanaryKey, "probe", "inside");
      EXPECT_EQ(std::string("inside\0", 7), ReadCanary(root));
    }
    SetString(HKEY_CLASSES_ROOT, ".vhcanary", "", "inside");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ".vhcanary"));
  }
  EXPECT_EQ(before, ReadCanary(HKEY_CURRENT_USER));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".vhcanary"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kCanaryKey));
  SHDeleteKeyA(HKEY_CURRENT_USER, kCanaryKey);
}

TEST(RegistrySandbox, EachSandboxStartsEmptyAndIsDeletedAfterwards) {
  std::string scratch;
  {
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.Active());
    scratch = sandbox.ScratchPath();
    SetString(HKEY_LOCAL_MACHINE, "Software\\Left", "v", "1");
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch));
  RegistrySandbox second;
  ASSERT_TRUE(second.Active());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Left"));
}

TEST(RegistrySandbox, CoversOtherThreads) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.Active());
  SetString(HKEY_LOCAL_MACHINE, "Software\\FromMain", "v", "1");
  HANDLE thread = CreateThread(nullptr, 0, &ProbeFromThread, nullptr, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  WaitForSingleObject(thread, INFINITE);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  EXPECT_EQ(1u, code);
}

// The program opens keys in the view their path names (a view flag in a
// 32-bit process on 64-bit Windows): what it writes through that path must
// stay inside the sandbox too, on HKLM and HKCR, native and twin alike.
TEST(RegistrySandbox, ViewAwareAccessStaysInside) {
  const char* const paths[][2] = {
      {"HKLM", "SOFTWARE\\VarnholtTests\\ViewCanary"},
      {"HKLM", "SOFTWARE\\Wow6432Node\\VarnholtTests\\ViewCanary"},
      {"HKCR", "CLSID\\{7A3F00FF-0000-4000-8000-00000000CA9A}"},
      {"HKCR", "Wow6432Node\\CLSID\\{7A3F00FF-0000-4000-8000-00000000CA9A}"},
  };
  auto rootOf = [](const char* name) { return name[2] == 'L' ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT; };
  {
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.Active());
    for (const auto& path : paths) {
      RegCheck::RegKey key;
      ASSERT_EQ(ERROR_SUCCESS, key.Create(rootOf(path[0]), path[1])) << path[1];
      ASSERT_EQ(ERROR_SUCCESS, key.SetStringValue("probe", "inside"));
    }
  }
  for (const auto& path : paths) {
    RegCheck::RegKey key;
    EXPECT_NE(ERROR_SUCCESS, key.Open(rootOf(path[0]), path[1], RegCheck::kReadAccess))
        << path[0] << "\\" << path[1] << " reached the real registry";
  }
}
