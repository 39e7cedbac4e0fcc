// A backup session exported as a .reg file and imported by Wine's regedit,
// a separate program nobody here wrote, puts back exactly what the fixes
// removed: every value type, odd sizes, unterminated and empty strings,
// names with quotes and backslashes, empty and nested keys. regedit cannot
// see the test sandbox, so this works on a key of its own in the prefix's
// real HKEY_CURRENT_USER and deletes it afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegFileExport.h"
#include "support/ProcessRunner.h"
#include "support/RegistryDump.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

void Set(HKEY root, const std::string& key, const std::string& name, DWORD type,
         const std::string& data) {
  HKEY h = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &h, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(h, name.c_str(), 0, type,
                                          reinterpret_cast<const BYTE*>(data.data()),
                                          static_cast<DWORD>(data.size())));
  RegCloseKey(h);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class RegFileRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[64];
    wsprintfA(name, "Software\\VarnholtTest-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    base_ = name;
    CCleaningLog::SetPathForTesting(temp_.PathOf("reg_clean.log"));
    manager_.reset(new CBackupManager(temp_.PathOf("Backup")));
    SetBackupManagerForTesting(manager_.get());
  }
  void TearDown() override {
    SetBackupManagerForTesting(nullptr);
    manager_.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
  }

  void PlantEveryKind() {
    const std::string tree = base_ + "\\Planted";
    const std::string zero(1, '\0');
    Set(HKEY_CURRENT_USER, tree, "", REG_SZ, "default text" + zero);
    Set(HKEY_CURRENT_USER, tree, "none empty", REG_NONE, "");
    Set(HKEY_CURRENT_USER, tree, "none data", REG_NONE, std::string("\x01\x00\xff", 3));
    Set(HKEY_CURRENT_USER, tree, "plain", REG_SZ, "C:\\Program Files\\x.exe" + zero);
    Set(HKEY_CURRENT_USER, tree, "unterminated odd", REG_SZ, "abc");
    Set(HKEY_CURRENT_USER, tree, "empty string", REG_SZ, "");
    Set(HKEY_CURRENT_USER, tree, "only terminator", REG_SZ, zero);
    Set(HKEY_CURRENT_USER, tree, "two terminators", REG_SZ, "x" + zero + zero);
    Set(HKEY_CURRENT_USER, tree, "high bytes", REG_SZ, "caf\xe9 \xa9" + zero);
    Set(HKEY_CURRENT_USER, tree, "control chars", REG_SZ, "tab\there\r\nline" + zero);
    Set(HKEY_CURRENT_USER, tree, "expand", REG_EXPAND_SZ, "%SystemRoot%\\x.dll" + zero);
    Set(HKEY_CURRENT_USER, tree, "multi", REG_MULTI_SZ, "one" + zero + "two" + zero + zero);
    Set(HKEY_CURRENT_USER, tree, "binary odd", REG_BINARY, std::string("\x00\x01\x02\x03\xfe", 5));
    Set(HKEY_CURRENT_USER, tree, "binary empty", REG_BINARY, "");
    Set(HKEY_CURRENT_USER, tree, "dword", REG_DWORD, std::string("\x2a\x00\x00\x80", 4));
    Set(HKEY_CURRENT_USER, tree, "dword short", REG_DWORD, std::string("\x01\x02\x03", 3));
    Set(HKEY_CURRENT_USER, tree, "big endian", REG_DWORD_BIG_ENDIAN, std::string("\x00\x00\x01\x02", 4));
    Set(HKEY_CURRENT_USER, tree, "qword", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
    Set(HKEY_CURRENT_USER, tree, "resource list", REG_RESOURCE_LIST, std::string("\x10\x20", 2));
    Set(HKEY_CURRENT_USER, tree, "odd type", 0x1234, "raw");
    Set(HKEY_CURRENT_USER, tree, "quo\"te", REG_SZ, "say \"hi\"" + zero);
    Set(HKEY_CURRENT_USER, tree, "back\\slash\\", REG_SZ, "\\\\server\\share\\" + zero);
    Set(HKEY_CURRENT_USER, tree, "@", REG_SZ, "not the default" + zero);
    Set(HKEY_CURRENT_USER, tree, "=[x]", REG_DWORD, std::string("\x00\x00\x00\x00", 4));
    Set(HKEY_CURRENT_USER, tree, std::string(300, 'n'), REG_BINARY, std::string(200, '\x5a'));
    Set(HKEY_CURRENT_USER, tree + "\\Sub\\Deeper", "deep", REG_SZ, "bottom" + zero);
    Set(HKEY_CURRENT_USER, tree + "\\Sub", "", REG_DWORD, std::string("\x07\x00\x00\x00", 4));
    Set(HKEY_CURRENT_USER, tree + "\\Key \"quoted\" [1]", "v", REG_SZ, "q" + zero);
    HKEY empty = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, (tree + "\\Sub\\Empty").c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &empty, nullptr));
    RegCloseKey(empty);
    // A single value removed from a key that stays.
    Set(HKEY_CURRENT_USER, base_ + "\\Kept", "lone \"value\"\\", REG_EXPAND_SZ, "%TEMP%");
    Set(HKEY_CURRENT_USER, base_ + "\\Kept", "stays", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  }

  std::string base_;
  TempFolder temp_;
  std::unique_ptr<CBackupManager> manager_;
};

TEST_F(RegFileRoundTrip, RegeditPutsBackExactlyWhatTheFixesRemoved) {
  PlantEveryKind();
  if (HasFatalFailure()) return;
  const RegistryPicture before = PictureOfKey(HKEY_CURRENT_USER, Wide(base_));
  ASSERT_GT(before.size(), 30u);

  ASSERT_EQ(1, manager_->DeleteKey("Planted tree", HKEY_CURRENT_USER, base_, "Planted"));
  ASSERT_EQ(1, manager_->DeleteValue("Lone value", HKEY_CURRENT_USER, base_ + "\\Kept",
                                     "lone \"value\"\\"));
  ASSERT_NE(before, PictureOfKey(HKEY_CURRENT_USER, Wide(base_)));

  const std::string regFile = temp_.PathOf("session.reg");
  std::string error;
  ASSERT_TRUE(ExportRegFile(manager_->GetCurrentSession(), regFile, error)) << error;

  ProcessResult import = RunProcess("C:\\windows\\regedit.exe", {"/s", regFile});
  ASSERT_TRUE(import.started);
  EXPECT_EQ(0u, import.exitCode) << import.output;

  const std::vector<std::string> differences =
      Differences(before, PictureOfKey(HKEY_CURRENT_USER, Wide(base_)));
  EXPECT_TRUE(differences.empty()) << ::testing::PrintToString(differences);
}

}  // namespace
