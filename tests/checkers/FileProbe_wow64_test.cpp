// What the path rules see of the file system: both views under WOW64, and
// the per-scan memory of answers.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "checkers/FileProbe.h"
#include "checkers/PathRules.h"
#include "engine/ScanContext.h"
#include "support/EnvOverride.h"
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
  CScanContext context;
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
  EXPECT_TRUE(CheckPath(context, "%SYSTEMROOT%\\System32\\" + name, PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context, "\"%SystemRoot%\\system32\\" + name + "\" /run", PATH_COMMAND));
  EXPECT_TRUE(NativeSystemFile(name, false));
  EXPECT_FALSE(CheckPath(context, "%SYSTEMROOT%\\System32\\" + name, PATH_COMMAND));
}

TEST(FileProbe, FilesOfTheRedirectedViewStayFound) {
  CScanContext context;
  // SysWOW64 content is what a 32-bit process sees as System32.
  EXPECT_TRUE(CheckPath(context, "%SYSTEMROOT%\\System32\\kernel32.dll", PATH_FILE));
  EXPECT_TRUE(CheckPath(context, "%SYSTEMROOT%\\System32", PATH_FILE_OR_DIR));
}

TEST(FileProbe, MemoAnswersRepeatedCandidatesOnceAndOnlyWhileRemembering) {
  TempFolder temp;
  std::string file = temp.MakeFile("shared.dll");
  CScanContext context;
  context.SetRemembering(true);
  long before = ProbeCount();
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(CheckPath(context, file, PATH_FILE));
  EXPECT_EQ(before + 1, ProbeCount());
  // The answer holds for the rest of the scan even if the file goes.
  DeleteFileA(file.c_str());
  EXPECT_TRUE(CheckPath(context, file, PATH_FILE));
  // Other spellings are other candidates.
  EXPECT_FALSE(CheckPath(context, temp.PathOf("SHARED.dll"), PATH_FILE));
  context.SetRemembering(false);
  EXPECT_FALSE(CheckPath(context, file, PATH_FILE));
}

TEST(FileProbe, MemoBelongsToItsContext) {
  TempFolder temp;
  std::string file = temp.MakeFile("x.dll");
  CScanContext scan;
  scan.SetRemembering(true);
  CheckPath(scan, file, PATH_FILE);
  // A tool's or another scan's checks never see this scan's answers.
  CScanContext other;
  long before = ProbeCount();
  CheckPath(other, file, PATH_FILE);
  CheckPath(other, file, PATH_FILE);
  EXPECT_EQ(2, ProbeCount() - before);
}

TEST(FileProbe, CancelStopsProbingAndReportsNothingMissing) {
  CScanContext context;
  context.Cancel();
  long before = ProbeCount();
  EXPECT_TRUE(CheckPath(context, "C:\\no\\such\\thing.exe /a /b /c /d", PATH_COMMAND));
  EXPECT_EQ(before, ProbeCount());
  context.ClearCancel();
  EXPECT_FALSE(CheckPath(context, "C:\\no\\such\\thing.exe /a", PATH_COMMAND));
}

}  // namespace

namespace {

// Candidates that cannot name a file are answered without a lookup; the
// verdicts stay the same.
TEST(FileProbe, ImpossibleCandidatesCostNoLookups) {
  CScanContext context;
  TempFolder temp;
  std::string program = temp.MakeFile("App Dir\\run.exe");
  std::string path;
  for (int i = 0; i < 6; ++i) path += temp.MakeDir("p" + std::to_string(i)) + ";";
  SetEnvironmentVariableA("PATH", path.c_str());
  long before = ProbeCount();
  EXPECT_TRUE(CheckPath(context, "\"" + program + "\" /uninstall /quiet", PATH_COMMAND));
  // The quoted program itself, nothing from the six PATH folders.
  EXPECT_LE(ProbeCount() - before, 3);
  before = ProbeCount();
  EXPECT_FALSE(CheckPath(context, temp.PathOf("gone.exe"), PATH_FILE));
  // A missing file is looked for in both views under WOW64.
  EXPECT_EQ(IsRunningUnderWow64() ? 2 : 1, ProbeCount() - before);
}

}  // namespace

namespace {

// Lookups one missing candidate costs: under WOW64 both views are asked.
long LookupsPerMiss() { return IsRunningUnderWow64() ? 2 : 1; }

TEST(FileProbe, FolderFoundMissingAnswersForEverythingBelowIt) {
  TempFolder temp;
  const std::string gone = temp.PathOf("gone");
  const std::string here = temp.MakeDir("here");
  const std::string real = temp.MakeFile("real.dll");
  CScanContext context;
  context.SetRemembering(true);

  long before = ProbeCount();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, gone + "\\a.dll"));
  EXPECT_EQ(LookupsPerMiss(), ProbeCount() - before);
  before = ProbeCount();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, gone + "\\b.exe"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, gone + "\\deeper\\c.sys"));
  EXPECT_EQ(0, ProbeCount() - before);

  // Windows resolves ".." before looking anything up, so this names a file
  // outside the missing folder, and it is there.
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, gone + "\\..\\real.dll"));
  // Only a missing folder answers for its contents; a missing file does not.
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, here + "\\later.dll"));
  temp.MakeFile("here\\now.dll");
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, here + "\\now.dll"));
  // A folder whose name merely begins like the missing one is its own.
  temp.MakeFile("gone2\\d.dll");
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, gone + "2\\d.dll"));

  // Forgotten with the answers once the scan is over.
  context.SetRemembering(false);
  temp.MakeFile("gone\\b.exe");
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, gone + "\\b.exe"));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ProbeFileAttributes(context, real));
}

TEST(FileProbe, PathFoldersMissingHereAreAskedOnceForAllNames) {
  TempFolder temp;
  std::string path;
  for (int i = 0; i < 6; ++i) path += temp.PathOf("absent" + std::to_string(i)) + ";";
  path += temp.MakeDir("bin");
  temp.MakeFile("bin\\tool.exe");
  EnvOverride pathVariable("PATH", path);
  CScanContext context;
  context.SetRemembering(true);

  long before = ProbeCount();
  EXPECT_FALSE(CheckPath(context, "first.sys", PATH_COMMAND));
  const long first = ProbeCount() - before;
  before = ProbeCount();
  EXPECT_FALSE(CheckPath(context, "second.sys", PATH_COMMAND));
  const long second = ProbeCount() - before;
  // The second name is tried as it stands and in the one folder that exists,
  // with its two extensions each time; the six absent folders cost nothing.
  EXPECT_EQ(6 * LookupsPerMiss(), second);
  EXPECT_EQ(second + 6 * LookupsPerMiss(), first);
  EXPECT_TRUE(CheckPath(context, "tool", PATH_COMMAND));
}

}  // namespace
