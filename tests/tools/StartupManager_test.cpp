// The startup tool's model over sandboxed Run keys: what is listed, with
// which line, how cancel and refresh behave, and that Run and Remove act on
// the entry's own command and root.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "engine/ScanCoordinator.h"
#include "tools/StartupManager.h"

using namespace RegCheck;
using namespace testsupport;
using toolstest::ToolTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;
const HKEY kHKCU = HKEY_CURRENT_USER;

class StartupManagerTest : public ToolTest {
 protected:
  // One root's lines, sorted: the registry decides the order within a root.
  std::vector<std::string> Lines(int rootFlag) {
    std::vector<std::string> lines;
    for (const StartupEntry& entry : manager_.GetEntries())
      if (entry.RootFlag() == rootFlag) lines.push_back(entry.DisplayText());
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  const StartupEntry* Find(int rootFlag, const std::string& name) {
    for (const StartupEntry& entry : manager_.GetEntries())
      if (entry.RootFlag() == rootFlag && entry.Name() == name) return &entry;
    return nullptr;
  }

  CStartupManager manager_;
};

TEST_F(StartupManagerTest, ListsStringValuesOfBothRunKeysMachineFirst) {
  SetString(kHKCU, kStartupRunKeyPath, "UserTool", "c:\\u\\tool.exe /min");
  SetString(kHKLM, kStartupRunKeyPath, "Agent", "\"c:\\a b\\agent.exe\" -q");
  SetString(kHKLM, kStartupRunKeyPath, "Expand", "%ProgramFiles%\\x.exe", REG_EXPAND_SZ);
  SetString(kHKLM, kStartupRunKeyPath, "Empty", "");
  // No terminator, then an embedded zero: the command stops inside the data.
  SetRaw(kHKLM, kStartupRunKeyPath, "Raw", REG_SZ, "abc", 3);
  SetRaw(kHKCU, kStartupRunKeyPath, "Embedded", REG_SZ, "run\0junk", 9);
  SetDword(kHKLM, kStartupRunKeyPath, "Counter", 7);
  SetRaw(kHKLM, kStartupRunKeyPath, "Blob", REG_BINARY, "c:\\", 4);
  SetString(kHKLM, std::string(kStartupRunKeyPath) + "\\Sub", "Deeper", "c:\\d.exe");

  manager_.Refresh();

  ASSERT_EQ(6u, manager_.GetEntries().size());
  EXPECT_EQ(StartupEntry::kMachineRoot, manager_.GetEntries().front().RootFlag());
  EXPECT_EQ(StartupEntry::kUserRoot, manager_.GetEntries().back().RootFlag());
  EXPECT_EQ((std::vector<std::string>{"Agent - \"c:\\a b\\agent.exe\" -q", "Empty - ",
                                      "Expand - %ProgramFiles%\\x.exe", "Raw - abc"}),
            Lines(StartupEntry::kMachineRoot));
  EXPECT_EQ((std::vector<std::string>{"Embedded - run", "UserTool - c:\\u\\tool.exe /min"}),
            Lines(StartupEntry::kUserRoot));
  EXPECT_EQ(HKEY_CURRENT_USER, Find(StartupEntry::kUserRoot, "UserTool")->Root());
  EXPECT_EQ(HKEY_LOCAL_MACHINE, Find(StartupEntry::kMachineRoot, "Agent")->Root());
}

TEST_F(StartupManagerTest, OwnEntryHiddenOnlyWhenNamedWithExactCase) {
  SetString(kHKLM, kStartupRunKeyPath, "Varnholt", "c:\\v\\varnholt.exe /scan");
  SetString(kHKCU, kStartupRunKeyPath, "Varnholt", "c:\\v\\varnholt.exe /scan");
  manager_.Refresh();
  // The model lists every value; the panel leaves out what IsShown refuses.
  ASSERT_EQ(2u, manager_.GetEntries().size());
  for (const StartupEntry& entry : manager_.GetEntries()) EXPECT_FALSE(entry.IsShown());

  // Value names ignore case, so the variant needs the old value gone first.
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueA(kHKCU, kStartupRunKeyPath, "Varnholt"));
  SetString(kHKCU, kStartupRunKeyPath, "varnholt", "c:\\other.exe");
  manager_.Refresh();
  std::vector<std::string> shown;
  for (const StartupEntry& entry : manager_.GetEntries())
    if (entry.IsShown()) shown.push_back(entry.DisplayText());
  EXPECT_EQ(std::vector<std::string>{"varnholt - c:\\other.exe"}, shown);
}

TEST_F(StartupManagerTest, RefreshWalksBothKeysAndOnlyItsOwnCancelEmptiesTheList) {
  SetString(kHKCU, kStartupRunKeyPath, "B", "b.exe");
  CScanCoordinator& coordinator = GetScanCoordinator();
  int keys = coordinator.GetKeysVisited();
  manager_.Refresh();
  // The machine key is missing; the user key is still read, and not counted
  // as a scan's progress.
  ASSERT_EQ(1u, manager_.GetEntries().size());
  EXPECT_EQ(keys, coordinator.GetKeysVisited());

  SetString(kHKLM, kStartupRunKeyPath, "A", "a.exe");
  // A scan's pending cancel leaves the tool listing...
  coordinator.Cancel();
  manager_.Refresh();
  coordinator.ClearCancel();
  EXPECT_EQ(2u, manager_.GetEntries().size());
  // ...the tool's own empties its list until cleared.
  manager_.Cancel();
  manager_.Refresh();
  EXPECT_TRUE(manager_.GetEntries().empty());
  manager_.ClearCancel();
  manager_.Refresh();
  EXPECT_EQ(2u, manager_.GetEntries().size());
}

TEST_F(StartupManagerTest, SameNameUnderBothRootsRemovesOnlyItsOwnAndRestores) {
  SetString(kHKLM, kStartupRunKeyPath, "Updater", "c:\\machine.exe");
  SetString(kHKCU, kStartupRunKeyPath, "Updater", "c:\\user.exe", REG_EXPAND_SZ);
  SetString(kHKCU, kStartupRunKeyPath, "Other", "c:\\other.exe");
  DWORD type = 0;
  std::string before;
  ASSERT_TRUE(ReadRaw(kHKCU, kStartupRunKeyPath, "Updater", type, before));
  manager_.Refresh();
  ASSERT_EQ(3u, manager_.GetEntries().size());

  EXPECT_EQ(1, Find(StartupEntry::kUserRoot, "Updater")->Remove());
  EXPECT_FALSE(ValueExists(kHKCU, kStartupRunKeyPath, "Updater"));
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "Other"));
  EXPECT_TRUE(ValueExists(kHKLM, kStartupRunKeyPath, "Updater"));
  EXPECT_EQ(std::vector<std::string>{"Startup info entry Updater"}, Descriptions());

  ASSERT_EQ(1, Session().At(0)->Restore());
  std::string after;
  ASSERT_TRUE(ReadRaw(kHKCU, kStartupRunKeyPath, "Updater", type, after));
  EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
  EXPECT_EQ(before, after);

  EXPECT_EQ(1, Find(StartupEntry::kMachineRoot, "Updater")->Remove());
  EXPECT_FALSE(ValueExists(kHKLM, kStartupRunKeyPath, "Updater"));
  EXPECT_TRUE(ValueExists(kHKCU, kStartupRunKeyPath, "Updater"));
  // Gone since the refresh: nothing to delete, nothing recorded.
  EXPECT_EQ(0, Find(StartupEntry::kMachineRoot, "Updater")->Remove());
  EXPECT_EQ(2, Session().Count());
}

TEST_F(StartupManagerTest, RunStartsTheStoredCommand) {
  SetString(kHKCU, kStartupRunKeyPath, "Harmless", MarkerCommand("started.txt"));
  manager_.Refresh();
  ASSERT_EQ(1u, manager_.GetEntries().size());
  EXPECT_GT(manager_.GetEntries().front().Run(), 31u);
  EXPECT_TRUE(WaitForFile(temp_.PathOf("started.txt")));
}

}  // namespace
