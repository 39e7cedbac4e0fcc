// Stage order, handshake, cancel and counters of the scan coordinator. The
// registry is sandboxed (and empty), so every checker finds nothing quickly.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RegEnumerator.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/RegistrySandbox.h"
#include "CoordinatorRun.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

class StageRecorder : public IRegProgressCallback {
 public:
  void OnStage(int category, int begin) override {
    stages.push_back(Text(category, begin));
    if (category == cancelAt && begin) GetScanCoordinator().Cancel();
    if (category == 0 && begin && gate) WaitForSingleObject(gate, INFINITE);
  }
  void OnProgress() override { ++progress; }

  static std::string Text(int category, int begin) {
    char text[32];
    wsprintfA(text, "%s%X", begin ? "+" : "-", category);
    return text;
  }

  std::vector<std::string> stages;
  int progress = 0;
  int cancelAt = -1;
  HANDLE gate = nullptr;
};

class ScanCoordinatorTest : public SandboxTest {
 protected:
  void TearDown() override { ResetCoordinator(); }

  std::vector<std::string> Run(int mask) {
    RunCoordinatorToEnd(mask, &recorder_, results_);
    return recorder_.stages;
  }

  static std::vector<std::string> Pairs(const std::vector<int>& order) {
    std::vector<std::string> expected = {"+0"};
    for (int bit : order) {
      expected.push_back(StageRecorder::Text(bit, 1));
      expected.push_back(StageRecorder::Text(bit, 0));
    }
    expected.push_back("-0");
    return expected;
  }

  StageRecorder recorder_;
  CActionList results_;
};

TEST_F(ScanCoordinatorTest, EmptyMaskSendsOnlyTheWholeScanStage) {
  EXPECT_EQ((std::vector<std::string>{"+0", "-0"}), Run(0));
  EXPECT_EQ(0, results_.Count());
  EXPECT_EQ(0, GetScanCoordinator().IsRunning());
}

TEST_F(ScanCoordinatorTest, AllCategoriesRunInTheFixedOrder) {
  EXPECT_EQ(Pairs({0x40, 0x1, 0x10, 0x2, 0x20, 0x100, 0x4, 0x80, 0x8, 0x200}), Run(kAllCategories));
}

TEST_F(ScanCoordinatorTest, OrderDoesNotDependOnTheMaskBits) {
  EXPECT_EQ(Pairs({0x1, 0x200}), Run(0x200 | 0x1));
}

TEST_F(ScanCoordinatorTest, CancelInTheFirstStageStillEndsEveryStage) {
  recorder_.cancelAt = 0x40;
  EXPECT_EQ(Pairs({0x40, 0x1, 0x10, 0x2, 0x20, 0x100, 0x4, 0x80, 0x8, 0x200}), Run(kAllCategories));
  EXPECT_EQ(1, GetScanCoordinator().IsCancelled());
  EXPECT_EQ(0, GetScanCoordinator().IsRunning());
  EXPECT_EQ(0, results_.Count());
}

TEST_F(ScanCoordinatorTest, IsRunningRightAfterStart) {
  HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  recorder_.gate = gate;
  CScanCoordinator& c = GetScanCoordinator();
  c.SetCategories(0);
  c.SetProgressCallback(&recorder_);
  c.Start(&results_);
  EXPECT_EQ(1, c.IsRunning());
  SetEvent(gate);
  c.WaitDone();
  EXPECT_EQ(0, c.IsRunning());
  CloseHandle(gate);
}

TEST_F(ScanCoordinatorTest, StartClearsAPendingCancelAndTheCounters) {
  CScanCoordinator& c = GetScanCoordinator();
  c.Cancel();
  SetString(HKEY_LOCAL_MACHINE, "Walked", "v", "1");
  Run(0);
  EXPECT_EQ(0, c.IsCancelled());
  EXPECT_EQ(0, c.GetKeysVisited());
  EXPECT_EQ(0, c.GetValuesVisited());
}

// A walk in a context of its own lists normally while a cancelled scan's
// cancel is still pending, and reports to none of the scan's callbacks.
class CountingHandler : public CRegEnumHandlerBase {
 public:
  void OnValue(HKEY, const std::string&, const std::string&, DWORD, DWORD) override { ++values; }
  int values = 0;
};

TEST_F(ScanCoordinatorTest, WalksOutsideTheScanIgnoreItsPendingCancel) {
  SetString(HKEY_LOCAL_MACHINE, "Tool", "a", "1");
  SetString(HKEY_LOCAL_MACHINE, "Tool", "b", "2");
  recorder_.cancelAt = 0x40;
  Run(0x40);
  ASSERT_EQ(1, GetScanCoordinator().IsCancelled());
  int progressBefore = recorder_.progress;
  RegEnumerator walker;
  walker.SetRoot(HKEY_LOCAL_MACHINE);
  walker.SetPath("Tool");
  CountingHandler handler;
  CScanContext own;
  walker.Walk(own, handler);
  EXPECT_EQ(2, handler.values);
  EXPECT_EQ(progressBefore, recorder_.progress);
}

TEST(ScanContext, VisitsReachTheCallbackWithCurrentKey) {
  StageRecorder recorder;
  CScanContext context;
  context.SetProgressCallback(&recorder);
  context.OnKeyVisited("HKLM\\A");
  context.OnValueVisited("HKLM\\B");
  EXPECT_EQ(2, recorder.progress);
  EXPECT_EQ(1, context.GetKeysVisited());
  EXPECT_EQ(1, context.GetValuesVisited());
  EXPECT_EQ("HKLM\\B", context.GetCurrentKey());
}

TEST(ScanCategories, TableHasTenDistinctBitsCoveringTheFullMask) {
  int mask = 0;
  for (const ScanCategory& category : kScanCategories) {
    EXPECT_EQ(0, mask & category.bit);
    mask |= category.bit;
    EXPECT_EQ(&category, FindScanCategory(category.bit));
  }
  EXPECT_EQ(kAllCategories, mask);
  EXPECT_EQ(nullptr, FindScanCategory(0));
  EXPECT_STREQ("regComObject", kScanCategories[0].settingsValue);
  EXPECT_STREQ("MRU && History entries", kScanCategories[9].label);
}

}  // namespace
