// What the path rules see of the file system: both views under WOW64, and
// the per-scan memory of answers.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "checkers/FileProbe.h"
#include "checkers/PathRules.h"
#include "engine/ScanCoordinator.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

// Writes or deletes a file in the native System32 of a WOW64 process (the
// plain System32 elsewhere).
bool NativeSystemFile(const std::string& name, bool create) {
  HMODULE kernel = GetModuleHandleA("kernel32");
  auto disable = reinterpret_cast<DisableFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
  auto revert = reinterpret_cast<RevertFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
  PVOID previous = nullptr;
  bool disabled = IsRunningUnderWow64() && disable && revert && disable(&previous);
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string path = std::string(windows) + "\\System32\\" + name;
  bool ok;
  if (create) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ok = file != INVALID_HANDLE_VALUE;
    if (ok) CloseHandle(file);
  } else {
    ok = DeleteFileA(path.c_str()) != FALSE;
  }
  if (disabled) revert(previous);
  return ok;
}

TEST(FileProbe, FileOnlyInTheNativeSystemFolderIsFound) {
  const std::string name = "vh_native_only_probe.exe";
  ASSERT_TRUE(NativeSystemFile(name, true));
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string redirected = std::string(windows) + "\\System32\\" + name;
  if (IsRunningUnderWow64()) {
    // The 32-bit view alone does not see it...
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(redirected.c_str()));
  }
  // ...but a start value naming it is valid.
  EXPECT_TRUE(CheckPath("%SYSTEMROOT%\\System32\\" + name, PATH_COMMAND));
  EXPECT_TRUE(CheckPath("\"%SystemRoot%\\system32\\" + name + "\" /run", PATH_COMMAND));
  EXPECT_TRUE(NativeSystemFile(name, false));
  EXPECT_FALSE(CheckPath("%SYSTEMROOT%\\System32\\" + name, PATH_COMMAND));
}

TEST(FileProbe, FilesOfTheRedirectedViewStayFound) {
  // SysWOW64 content is what a 32-bit process sees as System32.
  EXPECT_TRUE(CheckPath("%SYSTEMROOT%\\System32\\kernel32.dll", PATH_FILE));
  EXPECT_TRUE(CheckPath("%SYSTEMROOT%\\System32", PATH_FILE_OR_DIR));
}

TEST(FileProbe, MemoAnswersRepeatedCandidatesOnceAndOnlyWhileItLives) {
  TempFolder temp;
  std::string file = temp.MakeFile("shared.dll");
  {
    CProbeMemo memo;
    long before = ProbeCount();
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(CheckPath(file, PATH_FILE));
    EXPECT_EQ(before + 1, ProbeCount());
    // The answer holds for the rest of the scan even if the file goes.
    DeleteFileA(file.c_str());
    EXPECT_TRUE(CheckPath(file, PATH_FILE));
    // Other spellings are other candidates.
    EXPECT_FALSE(CheckPath(temp.PathOf("SHARED.dll"), PATH_FILE));
  }
  EXPECT_FALSE(CheckPath(file, PATH_FILE));
}

DWORD WINAPI ProbeOnOtherThread(LPVOID param) {
  const std::string& file = *static_cast<std::string*>(param);
  long before = ProbeCount();
  CheckPath(file, PATH_FILE);
  CheckPath(file, PATH_FILE);
  return static_cast<DWORD>(ProbeCount() - before);
}

TEST(FileProbe, MemoBelongsToItsThread) {
  TempFolder temp;
  std::string file = temp.MakeFile("x.dll");
  CProbeMemo memo;
  CheckPath(file, PATH_FILE);
  HANDLE thread = CreateThread(nullptr, 0, &ProbeOnOtherThread, &file, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  WaitForSingleObject(thread, INFINITE);
  DWORD probes = 0;
  GetExitCodeThread(thread, &probes);
  CloseHandle(thread);
  EXPECT_EQ(2u, probes);
}

TEST(FileProbe, CancelStopsProbingAndReportsNothingMissing) {
  CScanCoordinator& coordinator = GetScanCoordinator();
  coordinator.Cancel();
  long before = ProbeCount();
  EXPECT_TRUE(CheckPath("C:\\no\\such\\thing.exe /a /b /c /d", PATH_COMMAND));
  EXPECT_EQ(before, ProbeCount());
  coordinator.ClearCancel();
  EXPECT_FALSE(CheckPath("C:\\no\\such\\thing.exe /a", PATH_COMMAND));
}

}  // namespace

namespace {

// Candidates that cannot name a file are answered without a lookup; the
// verdicts stay the same.
TEST(FileProbe, ImpossibleCandidatesCostNoLookups) {
  TempFolder temp;
  std::string program = temp.MakeFile("App Dir\\run.exe");
  std::string path;
  for (int i = 0; i < 6; ++i) path += temp.MakeDir("p" + std::to_string(i)) + ";";
  SetEnvironmentVariableA("PATH", path.c_str());
  long before = ProbeCount();
  EXPECT_TRUE(CheckPath("\"" + program + "\" /uninstall /quiet", PATH_COMMAND));
  // The quoted program itself, nothing from the six PATH folders.
  EXPECT_LE(ProbeCount() - before, 3);
  before = ProbeCount();
  EXPECT_FALSE(CheckPath(temp.PathOf("gone.exe"), PATH_FILE));
  // A missing file is looked for in both views under WOW64.
  EXPECT_EQ(IsRunningUnderWow64() ? 2 : 1, ProbeCount() - before);
}

}  // namespace
