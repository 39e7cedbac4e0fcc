// A backup written by one build's program restores with the other build's:
// the 32-bit and the 64-bit console programs as separate processes on the
// 64-bit prefix's registry, in both directions. It runs the 32-bit program,
// so it belongs to the x86 suite, which runs wherever the host can.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ProcessRunner.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace testsupport;

namespace {

const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::vector<std::string> BackupFiles(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*.rbk").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return files;
  do files.push_back(folder + "\\" + found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  return files;
}

class CrossBuildRestore : public ::testing::TestWithParam<std::pair<const char*, const char*>> {
 protected:
  void SetUp() override {
    char token[32];
    wsprintfA(token, "%lu%lu", GetCurrentProcessId(), GetTickCount());
    value_ = std::string("VhCross") + token;
    SetEnvironmentVariableA("VARNHOLT_LOG_FOR_TESTS", temp_.PathOf("clean.log").c_str());
  }
  void TearDown() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, value_.c_str());
      RegCloseKey(key);
    }
    SetEnvironmentVariableA("VARNHOLT_LOG_FOR_TESTS", nullptr);
  }
  // A copy of one build's console program in a folder of its own, so its
  // Backup folder is the test's.
  std::string Install(const char* arch) {
    const std::string folder = temp_.PathOf(arch);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\varnholt-cli.exe";
    EXPECT_TRUE(CopyFileTo(PrefixDirFile(std::string(arch) + "/app/varnholt-cli.exe"), exe)) << arch;
    return exe;
  }

  TempFolder temp_;
  std::string value_;
};

TEST_P(CrossBuildRestore, FixedByOneRestoredByTheOther) {
  const std::string writer = Install(GetParam().first);
  const std::string reader = Install(GetParam().second);
  const std::string data = "\"C:\\vh_gone_" + value_ + "\\tray.exe\" /quiet";
  SetString(HKEY_CURRENT_USER, kRun, value_, data);
  DWORD type = 0;
  std::string before;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kRun, value_, type, before));

  ProcessResult fix = RunProcess(writer, {"fix", "--categories", "Startup"});
  ASSERT_TRUE(fix.started);
  EXPECT_EQ(0u, fix.exitCode) << fix.output;
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRun, value_));
  const std::vector<std::string> files = BackupFiles(temp_.PathOf(std::string(GetParam().first) + "\\Backup"));
  ASSERT_EQ(1u, files.size());

  ProcessResult listing = RunProcess(reader, {"backups"});
  EXPECT_EQ(0u, listing.exitCode) << listing.output;
  ProcessResult restore = RunProcess(reader, {"restore", files[0]});
  EXPECT_EQ(0u, restore.exitCode) << restore.output;
  DWORD typeAfter = 0;
  std::string after;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kRun, value_, typeAfter, after));
  EXPECT_EQ(type, typeAfter);
  EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, CrossBuildRestore,
                         ::testing::Values(std::make_pair("x86", "x64"), std::make_pair("x64", "x86")));

}  // namespace
