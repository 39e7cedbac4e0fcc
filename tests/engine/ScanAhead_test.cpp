// A scan on two threads finds what a scan on one finds, in the same order,
// with the same visit counts, and a cancel drops what the second thread found
// beyond it. The registry is sandboxed and holds stale entries of several
// categories, every one naming a folder that does not exist.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checkers/CheckerSet.h"
#include "engine/RegCallCounter.h"
#include "engine/RegView.h"
#include "engine/ScanAhead.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/RegistrySandbox.h"
#include "CoordinatorRun.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kGone[] = "C:\\vh-scan-ahead-gone\\";

std::vector<std::string> Lines(const CActionList& list) {
  std::vector<std::string> lines;
  for (CRegistryAction* action : list) {
    std::string description, location;
    action->GetDescription(description);
    action->GetLocation(location);
    lines.push_back(std::to_string(action->GetCategory()) + " " + description + " " + location);
  }
  return lines;
}

std::vector<int> AllInOrder() {
  std::vector<int> order;
  for (const ScanCategory& category : kScanCategories) order.push_back(category.bit);
  return order;
}

class ScanAheadTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    const std::string gone = kGone;
    for (const char* id : {"{5CA0A4EA-0000-4000-8000-000000000001}",
                           "{5CA0A4EA-0000-4000-8000-000000000002}"})
      SetString(HKEY_CLASSES_ROOT, std::string("CLSID\\") + id + "\\InprocServer32", "",
                gone + "server.dll");
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe",
              "", gone + "gone.exe");
    for (const char* dll : {"a.dll", "b.dll", "c.dll"})
      SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
               gone + dll, 1);
    SetString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\VhGoneService", "ImagePath",
              gone + "service.exe");
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", "gone.hlp", gone);
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VhGone";
    SetString(HKEY_LOCAL_MACHINE, uninstall, "DisplayName", "Gone Application");
    SetString(HKEY_LOCAL_MACHINE, uninstall, "UninstallString", gone + "uninst.exe /quiet");
    const std::string mru =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt";
    SetString(HKEY_CURRENT_USER, mru, "a", gone + "notes.txt");
    SetString(HKEY_CURRENT_USER, mru, "MRUList", "a");
  }

  // Each category scanned on this thread alone, one after the other.
  std::vector<std::string> ScanAlone(int& keys, int& values) {
    CScanContext context;
    context.SetRemembering(true);
    CActionList results;
    for (int bit : AllInOrder()) checkers_.Scan(bit, context, results);
    keys = context.GetKeysVisited();
    values = context.GetValuesVisited();
    return Lines(results);
  }

  CCheckerSet checkers_;
};

// Once with the helper taking every category (nothing is claimed here), once
// with this thread claiming what the helper has not yet taken.
TEST_F(ScanAheadTest, FindingsAndCountsAreThoseOfOneThreadWhoeverScans) {
  int keys = 0, values = 0;
  const std::vector<std::string> alone = ScanAlone(keys, values);
  // Stale entries of seven categories, several in some, so order can show.
  ASSERT_EQ(10u, alone.size());
  for (bool claim : {false, true}) {
    CScanContext scan;
    CActionList results;
    {
      CScanAhead ahead(checkers_, AllInOrder(), scan);
      for (size_t position = 0; position < kCategoryCount; ++position) {
        if (claim && ahead.ClaimForCaller(position)) {
          checkers_.Scan(AllInOrder()[position], scan, results);
        } else {
          ahead.TakeOver(position, scan, results);
        }
      }
    }
    EXPECT_EQ(alone, Lines(results)) << claim;
    EXPECT_EQ(keys, scan.GetKeysVisited()) << claim;
    EXPECT_EQ(values, scan.GetValuesVisited()) << claim;
    for (CRegistryAction* action : results) EXPECT_EQ(&results, action->GetOwner());
  }
}

class StageCanceller : public IRegProgressCallback {
 public:
  void OnStage(int category, int begin) override {
    if (category == cancelAt && begin) GetScanCoordinator().Cancel();
  }
  void OnProgress() override {}
  int cancelAt = -1;
};

class CoordinatorAheadTest : public ScanAheadTest {
 protected:
  void TearDown() override { ResetCoordinator(); }

  std::vector<std::string> RunWholeScan(IRegProgressCallback* callback) {
    RunCoordinatorToEnd(kAllCategories, callback, results_);
    return Lines(results_);
  }

  CActionList results_;
};

TEST_F(CoordinatorAheadTest, WholeScanMatchesTheCategoriesScannedOneByOne) {
  int keys = 0, values = 0;
  const std::vector<std::string> alone = ScanAlone(keys, values);
  EXPECT_EQ(alone, RunWholeScan(nullptr));
  EXPECT_EQ(keys, GetScanCoordinator().GetKeysVisited());
  EXPECT_EQ(values, GetScanCoordinator().GetValuesVisited());
}

TEST_F(CoordinatorAheadTest, CancelAtTheLastStageDropsWhatTheHelperFoundThere) {
  int keys = 0, values = 0;
  std::vector<std::string> expected = ScanAlone(keys, values);
  // The history findings come last; a scan cancelled as its stage begins
  // never gets to them, whichever thread looked.
  const std::string history = std::to_string(kCatHistory) + " ";
  ASSERT_EQ(0u, expected.back().rfind(history, 0));
  while (!expected.empty() && expected.back().rfind(history, 0) == 0) expected.pop_back();
  StageCanceller canceller;
  canceller.cancelAt = kCatHistory;
  EXPECT_EQ(expected, RunWholeScan(&canceller));
  EXPECT_EQ(1, GetScanCoordinator().IsCancelled());
}

TEST_F(ScanAheadTest, ViewsOfAKeyAreAskedOnceWhileRemembering) {
  CreateKey(HKEY_CLASSES_ROOT, "CLSID");
  CreateKey(HKEY_CLASSES_ROOT, "AppID");
  CScanContext context;
  const std::vector<std::string> views = ViewsOf(HKEY_CLASSES_ROOT, "CLSID");
  long before = RegistryCallCount();
  EXPECT_EQ(views, context.ViewsOf(HKEY_CLASSES_ROOT, "CLSID"));
  const long perQuestion = RegistryCallCount() - before;
  // Only 64-bit Windows has two views to tell apart.
  if (IsWindows64()) {
    EXPECT_GT(perQuestion, 0);
  }

  context.SetRemembering(true);
  EXPECT_EQ(views, context.ViewsOf(HKEY_CLASSES_ROOT, "CLSID"));
  before = RegistryCallCount();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(views, context.ViewsOf(HKEY_CLASSES_ROOT, "CLSID"));
  EXPECT_EQ(before, RegistryCallCount());
  // Other keys are asked about on their own.
  EXPECT_EQ(ViewsOf(HKEY_CLASSES_ROOT, "AppID"), context.ViewsOf(HKEY_CLASSES_ROOT, "AppID"));
  if (IsWindows64()) {
    EXPECT_LT(before, RegistryCallCount());
  }

  context.SetRemembering(false);
  before = RegistryCallCount();
  context.ViewsOf(HKEY_CLASSES_ROOT, "CLSID");
  EXPECT_EQ(perQuestion, RegistryCallCount() - before);
}

}  // namespace
