// The cleaning log: exact lines, appending, an unopenable file, threads.

#include <windows.h>

#include <gtest/gtest.h>

#include "BackupFixture.h"
#include "BackupTestFiles.h"

using namespace RegCheck;
using namespace testsupport;
using namespace backuptest;

namespace {

// The system's wording of an error: Windows versions and Wine differ.
std::string SystemText(DWORD error) {
  char text[256] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
  return std::string(text, n);
}

class CleaningLogTest : public BackupFixture {
 protected:
  std::string LogText() {
    std::string text;
    EXPECT_TRUE(ReadFileBytes(temp_.PathOf("reg_clean.log"), text));
    return text;
  }
  // The lines a fix run writes around its deletions.
  void FixRun(int errors, const char* value) {
    CCleaningLog& log = GetCleaningLog();
    log.Print("\r\nVarnholt %s on %s, %s", "1.37", "6.1", "9");
    log.Print("Starting to fix %d errors.", errors);
    manager_->DeleteKey("key", HKEY_CURRENT_USER, "Software\\Fix", "Gone");
    manager_->DeleteValue("value", HKEY_CURRENT_USER, "Software\\Fix", value);
    log.Print("Error fix complete.");
  }
};

TEST_F(CleaningLogTest, TwoFixRunsMakeTwoBlocks) {
  SetString(HKEY_CURRENT_USER, "Software\\Fix\\Gone", "v", "1");
  SetString(HKEY_CURRENT_USER, "Software\\Fix", "Stale", "1");
  FixRun(2, "Stale");
  // The second run's deletions fail (already gone): each keeps its line and
  // adds one that says why.
  FixRun(5, "");
  const std::string notFound = SystemText(ERROR_FILE_NOT_FOUND) + " (error 2)\n";
  const std::string block1 =
      "\r\nVarnholt 1.37 on 6.1, 9\nStarting to fix 2 errors.\n"
      "CBackupManager::DeleteKey (Software\\Fix, Gone)\n"
      "CBackupManager::DeleteValue (Software\\Fix, Stale)\nError fix complete.\n";
  const std::string block2 =
      "\r\nVarnholt 1.37 on 6.1, 9\nStarting to fix 5 errors.\n"
      "CBackupManager::DeleteKey (Software\\Fix, Gone)\n"
      "CBackupManager::DeleteKey failed (Software\\Fix, Gone): delete: " + notFound +
      "CBackupManager::DeleteValue (Software\\Fix, )\n"
      "CBackupManager::DeleteValue failed (Software\\Fix, ): delete: " + notFound +
      "Error fix complete.\n";
  EXPECT_EQ(block1 + block2, LogText());
  EXPECT_EQ(2, manager_->GetCurrentSession().Count());
}

TEST_F(CleaningLogTest, AppendsWithoutRewritingAndFormatsLongLines) {
  const std::string old(100000, 'o');
  WriteFileBytes(temp_.PathOf("reg_clean.log"), old);
  const std::string longName(3000, 'n');
  GetCleaningLog().Print("%s|%d", longName.c_str(), -7);
  EXPECT_EQ(old + longName + "|-7\n", LogText());
}

TEST_F(CleaningLogTest, UnopenableLogLosesLinesSilently) {
  const std::string path = temp_.PathOf("no\\such\\folder\\reg_clean.log");
  CCleaningLog::SetPathForTesting(path);
  EXPECT_EQ(path, GetCleaningLog().GetPath());
  GetCleaningLog().Print("lost %d", 1);
  SetString(HKEY_CURRENT_USER, "Software\\Fix", "v", "1");
  EXPECT_EQ(1, manager_->DeleteValue("still works", HKEY_CURRENT_USER, "Software\\Fix", "v"));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(FileExists(temp_.PathOf("no")));
  // A folder in the file's place cannot be opened as a file either.
  const std::string folder = temp_.MakeDir("isafolder");
  CCleaningLog::SetPathForTesting(folder);
  GetCleaningLog().Print("lost too");
  EXPECT_EQ(0u, ListFiles(folder).size());
}

DWORD WINAPI WriteLines(LPVOID param) {
  const int id = static_cast<int>(reinterpret_cast<INT_PTR>(param));
  for (int i = 0; i < 100; ++i) GetCleaningLog().Print("thread %d line %03d %s", id, i, "xxxxxxxxxxxxxxxx");
  return 0;
}

TEST_F(CleaningLogTest, LinesFromThreadsNeverInterleave) {
  HANDLE threads[4];
  for (int t = 0; t < 4; ++t) {
    threads[t] = CreateThread(nullptr, 0, &WriteLines, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(t)), 0,
                              nullptr);
    ASSERT_NE(nullptr, threads[t]);
  }
  WaitForMultipleObjects(4, threads, TRUE, INFINITE);
  for (HANDLE h : threads) CloseHandle(h);
  const std::string text = LogText();
  int lines = 0;
  int perThread[4] = {};
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find('\n', start);
    ASSERT_NE(std::string::npos, end);
    const std::string line = text.substr(start, end - start);
    int id = -1, n = -1;
    char tail[32] = {};
    ASSERT_EQ(3, sscanf(line.c_str(), "thread %d line %d %31s", &id, &n, tail)) << line;
    ASSERT_TRUE(id >= 0 && id < 4) << line;
    EXPECT_EQ(perThread[id], n) << line;  // each thread's lines stay in order
    EXPECT_EQ(std::string(16, 'x'), tail);
    EXPECT_EQ(34u, line.size()) << line;
    ++perThread[id];
    ++lines;
    start = end + 1;
  }
  EXPECT_EQ(400, lines);
}

}  // namespace
