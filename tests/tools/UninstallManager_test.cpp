// The uninstall tool's model over a sandboxed Uninstall key: which subkeys
// count as installed programs, and that Run and Remove use the entry's own
// uninstaller and subkey.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "engine/ScanCoordinator.h"
#include "tools/UninstallManager.h"

using namespace RegCheck;
using namespace testsupport;
using toolstest::ToolTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;

std::string Program(const std::string& keyName) {
  return std::string(kUninstallKeyPath) + "\\" + keyName;
}

void AddProgram(HKEY root, const std::string& keyName, const std::string& displayName,
                const std::string& uninstallString) {
  SetString(root, Program(keyName), "DisplayName", displayName);
  SetString(root, Program(keyName), "UninstallString", uninstallString);
}

class UninstallManagerTest : public ToolTest {
 protected:
  // "key|line|uninstall string" per entry, sorted.
  std::vector<std::string> Listed() {
    std::vector<std::string> rows;
    for (const UninstallEntry& entry : manager_.GetEntries())
      rows.push_back(entry.KeyName() + "|" + entry.DisplayText() + "|" + entry.UninstallString());
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  const UninstallEntry* Find(const std::string& keyName) {
    for (const UninstallEntry& entry : manager_.GetEntries())
      if (entry.KeyName() == keyName) return &entry;
    return nullptr;
  }

  CUninstallManager manager_;
};

TEST_F(UninstallManagerTest, ListsOnlySubkeysWithBothValuesAsNonEmptyStrings) {
  EXPECT_EQ(1, manager_.Refresh());  // no Uninstall key yet
  EXPECT_TRUE(manager_.GetEntries().empty());

  AddProgram(kHKLM, "Good", "Good Editor 2.1", "c:\\good\\unins000.exe /quiet");
  SetString(kHKLM, Program("Expand"), "DisplayName", "Expand Tool", REG_EXPAND_SZ);
  SetString(kHKLM, Program("Expand"), "UninstallString", "%SystemRoot%\\unexp.exe", REG_EXPAND_SZ);
  // No terminator, or bytes after one: the text ends inside the data.
  SetRaw(kHKLM, Program("Raw"), "DisplayName", REG_SZ, "Raw App", 7);
  SetRaw(kHKLM, Program("Raw"), "UninstallString", REG_SZ, "c:\\r.exe\0tail", 14);
  SetString(kHKLM, Program("NameOnly"), "DisplayName", "Name Only");
  SetString(kHKLM, Program("UninstallOnly"), "UninstallString", "c:\\u.exe");
  SetDword(kHKLM, Program("DwordName"), "DisplayName", 5);
  SetString(kHKLM, Program("DwordName"), "UninstallString", "c:\\d.exe");
  AddProgram(kHKLM, "EmptyName", "", "c:\\e.exe");
  SetRaw(kHKLM, Program("NoBytesName"), "DisplayName", REG_SZ, "", 0);
  SetString(kHKLM, Program("NoBytesName"), "UninstallString", "c:\\n.exe");
  AddProgram(kHKLM, "EmptyUninstall", "Empty Uninstall", "");
  CreateKey(kHKLM, Program("Bare"));
  // Only direct subkeys are programs, and only the machine's.
  AddProgram(kHKLM, "Good\\Component", "Component", "c:\\c.exe");
  AddProgram(HKEY_CURRENT_USER, "PerUser", "Per User App", "c:\\pu.exe");
  AddProgram(HKEY_CLASSES_ROOT, "InClasses", "Classes App", "c:\\cr.exe");

  EXPECT_EQ(1, manager_.Refresh());
  EXPECT_EQ((std::vector<std::string>{
                "Expand|Expand Tool|%SystemRoot%\\unexp.exe",
                "Good|Good Editor 2.1|c:\\good\\unins000.exe /quiet",
                "Raw|Raw App|c:\\r.exe",
            }),
            Listed());
}

TEST_F(UninstallManagerTest, OnlyTheToolsOwnPendingCancelListsNothing) {
  AddProgram(kHKLM, "App", "App", "c:\\a.exe");
  GetScanCoordinator().Cancel();
  manager_.Refresh();
  GetScanCoordinator().ClearCancel();
  EXPECT_EQ(1u, manager_.GetEntries().size());
  manager_.Cancel();
  manager_.Refresh();
  EXPECT_TRUE(manager_.GetEntries().empty());
  manager_.ClearCancel();
  manager_.Refresh();
  EXPECT_EQ(1u, manager_.GetEntries().size());
}

TEST_F(UninstallManagerTest, SameDisplayNameTwiceEachRemovesItsOwnSubkey) {
  AddProgram(kHKLM, "{A-1}", "Twin Suite", "c:\\a\\un.exe");
  SetString(kHKLM, Program("{A-1}") + "\\Parts", "Part", "x");
  AddProgram(kHKLM, "{B-2}", "Twin Suite", "c:\\b\\un.exe");
  manager_.Refresh();
  ASSERT_EQ((std::vector<std::string>{"{A-1}|Twin Suite|c:\\a\\un.exe", "{B-2}|Twin Suite|c:\\b\\un.exe"}),
            Listed());

  EXPECT_EQ(1, Find("{A-1}")->Remove());
  EXPECT_FALSE(KeyExists(kHKLM, Program("{A-1}")));
  EXPECT_TRUE(KeyExists(kHKLM, Program("{B-2}")));
  EXPECT_EQ(1, Find("{B-2}")->Remove());
  EXPECT_FALSE(KeyExists(kHKLM, Program("{B-2}")));
  EXPECT_TRUE(KeyExists(kHKLM, kUninstallKeyPath));
  EXPECT_EQ((std::vector<std::string>{"Uninstall info entry {A-1}", "Uninstall info entry {B-2}"}),
            Descriptions());

  // The deletion took the whole subtree and gives it back.
  ASSERT_EQ(1, Session().At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(kHKLM, Program("{A-1}") + "\\Parts", "Part", type, data));
  EXPECT_EQ(std::string("x", 2), data);
  ASSERT_TRUE(ReadRaw(kHKLM, Program("{A-1}"), "UninstallString", type, data));
  EXPECT_EQ(std::string("c:\\a\\un.exe", 12), data);
  EXPECT_FALSE(KeyExists(kHKLM, Program("{B-2}")));
}

TEST_F(UninstallManagerTest, RemoveNeverTakesTheUninstallKeyOrAMissingSubkey) {
  AddProgram(kHKLM, "Kept", "Kept App", "c:\\k.exe");
  EXPECT_EQ(0, UninstallEntry("", "Nameless", "c:\\n.exe").Remove());
  EXPECT_EQ(0, UninstallEntry("Gone", "Gone App", "c:\\g.exe").Remove());
  EXPECT_TRUE(KeyExists(kHKLM, Program("Kept")));
  EXPECT_EQ(0, Session().Count());
}

TEST_F(UninstallManagerTest, RunStartsTheUninstallString) {
  AddProgram(kHKLM, "Harmless", "Harmless App", MarkerCommand("uninstalled.txt"));
  manager_.Refresh();
  ASSERT_EQ(1u, manager_.GetEntries().size());
  EXPECT_GT(manager_.GetEntries().front().Run(), 31u);
  EXPECT_TRUE(WaitForFile(temp_.PathOf("uninstalled.txt")));
}

}  // namespace
