// The console program as a separate process on the test prefix's own
// registry: planted stale entries are listed by scan, removed by fix with a
// backup file, and written back by restore in a later process.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProcessRunner.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace testsupport;

namespace {

const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const char kHelp[] = "SOFTWARE\\Microsoft\\Windows\\Help";
const char kFonts[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kCategories[] = "SharedDll,HelpFiles,Fonts";

std::vector<std::string> FindingLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::count(line.begin(), line.end(), '\t') == 2) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Added(const std::vector<std::string>& before,
                               const std::vector<std::string>& after) {
  std::set<std::string> old(before.begin(), before.end());
  std::vector<std::string> added;
  for (const std::string& line : after)
    if (!old.count(line)) added.push_back(line);
  return added;
}

std::vector<std::string> BackupFiles(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*.rbk").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return files;
  do files.push_back(found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  return files;
}

class ConsoleEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    char token[32];
    wsprintfA(token, "%lu%lu", GetCurrentProcessId(), GetTickCount());
    token_ = token;
    // A copy of the program of its own, so its Backup folder is ours.
    CreateDirectoryA(temp_.PathOf("bin").c_str(), nullptr);
    exe_ = temp_.PathOf("bin\\varnholt-cli.exe");
    ASSERT_TRUE(CopyFileTo(BuildTreeFile("app/varnholt-cli.exe"), exe_));
    SetEnvironmentVariableA("VARNHOLT_LOG_FOR_TESTS", temp_.PathOf("clean.log").c_str());

    dllValue_ = "C:\\vh_gone_" + token_ + "\\shared.dll";
    helpValue_ = "vh_gone_" + token_ + ".hlp";
    fontValue_ = "Varnholt Gone " + token_ + " (TrueType)";
  }
  void TearDown() override {
    // The prefix belongs to the suite, but leave it as found.
    DeleteValue(kSharedDlls, dllValue_);
    DeleteValue(kHelp, helpValue_);
    DeleteValue(kFonts, fontValue_);
    SetEnvironmentVariableA("VARNHOLT_LOG_FOR_TESTS", nullptr);
  }
  void DeleteValue(const char* key, const std::string& name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
      RegDeleteValueA(h, name.c_str());
      RegCloseKey(h);
    }
  }
  ProcessResult Cli(const std::vector<std::string>& args) { return RunProcess(exe_, args); }

  TempFolder temp_;
  std::string token_, exe_, dllValue_, helpValue_, fontValue_;
};

TEST_F(ConsoleEndToEnd, ScanFixAndRestoreInSeparateProcesses) {
  ProcessResult baseline = Cli({"scan", "--categories", kCategories});
  ASSERT_TRUE(baseline.started);
  ASSERT_TRUE(baseline.exitCode == 0 || baseline.exitCode == 1) << baseline.output;

  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, dllValue_, 3);
  SetString(HKEY_LOCAL_MACHINE, kHelp, helpValue_, "C:\\vh_gone_" + token_ + "\\help\\");
  SetString(HKEY_LOCAL_MACHINE, kFonts, fontValue_, "vh_gone_" + token_ + ".ttf");
  DWORD dllType = 0, helpType = 0, fontType = 0;
  std::string dllData, helpData, fontData;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kSharedDlls, dllValue_, dllType, dllData));
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kHelp, helpValue_, helpType, helpData));
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kFonts, fontValue_, fontType, fontData));

  ProcessResult scan = Cli({"scan", "--categories", kCategories});
  EXPECT_EQ(1u, scan.exitCode) << scan.output;
  std::vector<std::string> added = Added(FindingLines(baseline.output), FindingLines(scan.output));
  ASSERT_EQ(3u, added.size()) << scan.output;
  EXPECT_EQ("Shared DLLs entries\tShared dll " + dllValue_ + " not exists\tHKLM\\" + kSharedDlls +
                " (VALUE:" + dllValue_ + ")",
            added[0]);
  EXPECT_EQ("Windows Fonts entries\tFont " + fontValue_ + " is absent\tHKLM\\" + kFonts +
                " (VALUE:" + fontValue_ + ")",
            added[1]);
  EXPECT_EQ("Help files entries\tFile " + helpValue_ + " is absent\tHKLM\\" + kHelp + " (VALUE " +
                helpValue_ + ")",
            added[2]);

  ProcessResult fix = Cli({"fix", "--categories", kCategories});
  const size_t total = FindingLines(scan.output).size();
  std::string fixedLine = std::to_string(total) + " of " + std::to_string(total) +
                          " errors were fixed succesfully.";
  EXPECT_NE(std::string::npos, fix.output.find(fixedLine)) << fix.output;
  EXPECT_EQ(0u, fix.exitCode) << fix.output;
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, dllValue_));
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kHelp, helpValue_));
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kFonts, fontValue_));
  std::vector<std::string> files = BackupFiles(temp_.PathOf("bin\\Backup"));
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(42u, files[0].size());  // {GUID}.rbk

  ProcessResult listing = Cli({"backups"});
  EXPECT_EQ(0u, listing.exitCode);
  EXPECT_NE(std::string::npos, listing.output.find("Shared DLL entry " + dllValue_)) << listing.output;
  EXPECT_NE(std::string::npos, listing.output.find("Font entry " + fontValue_));
  EXPECT_NE(std::string::npos, listing.output.find("Help file entry " + helpValue_));

  ProcessResult restore = Cli({"restore", files[0]});
  EXPECT_EQ(0u, restore.exitCode) << restore.output;
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kSharedDlls, dllValue_, type, data));
  EXPECT_EQ(dllType, type);
  EXPECT_EQ(dllData, data);
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kHelp, helpValue_, type, data));
  EXPECT_EQ(helpData, data);
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kFonts, fontValue_, type, data));
  EXPECT_EQ(fontData, data);
  // Everything was written back, so the emptied backup file is gone.
  EXPECT_TRUE(BackupFiles(temp_.PathOf("bin\\Backup")).empty());

  // The log holds the fix run's block.
  HANDLE log = CreateFileA(temp_.PathOf("clean.log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, log);
  char text[8192];
  DWORD got = 0;
  ReadFile(log, text, sizeof(text) - 1, &got, nullptr);
  CloseHandle(log);
  std::string logText(text, got);
  EXPECT_EQ(0u, logText.find("\r\nVarnholt Version 1.37 on ")) << logText;
  EXPECT_NE(std::string::npos, logText.find("Starting to fix " + std::to_string(total) + " errors.\n"));
  EXPECT_NE(std::string::npos, logText.find("CBackupManager::DeleteValue (" + std::string(kFonts) +
                                            ", " + fontValue_ + ")\n"));
  EXPECT_NE(std::string::npos, logText.find("Error fix complete.\n"));
}

TEST_F(ConsoleEndToEnd, BadArgumentsExitWithTwoAndSayWhy) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"scan", "--categories"}, {"scan", "--categories", "Nope"},
           {"scan", "extra"}, {"restore"}, {"restore", "missing.rbk"}, {"backups", "x"}}) {
    ProcessResult result = Cli(args);
    EXPECT_EQ(2u, result.exitCode) << (args.empty() ? "" : args[0]);
    EXPECT_NE(std::string::npos, result.output.find("varnholt-cli: ")) << result.output;
  }
  ProcessResult help = Cli({"--help"});
  EXPECT_EQ(0u, help.exitCode);
  EXPECT_NE(std::string::npos, help.output.find("restore FILE"));
}

}  // namespace
