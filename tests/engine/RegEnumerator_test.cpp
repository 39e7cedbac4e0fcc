// Order, depth, flags, counters and cancel of the registry walker, over real
// sandboxed keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/RegEnumerator.h"
#include "engine/RegKey.h"
#include "engine/RegRoots.h"
#include "engine/RegView.h"
#include "engine/ScanContext.h"
#include "support/RegistrySandbox.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

// Records every call as "V path|name" or "K path|name".
class Recorder : public IRegEnumHandler {
 public:
  void OnValue(HKEY key, const std::string& path, const std::string& name, DWORD type,
               DWORD size) override {
    EXPECT_NE(nullptr, key);
    calls.push_back("V " + path + "|" + name);
    types.push_back(type);
    sizes.push_back(size);
  }
  void OnKey(HKEY key, const std::string& path, const std::string& name) override {
    EXPECT_NE(nullptr, key);
    calls.push_back("K " + path + "|" + name);
  }
  std::vector<std::string> calls;
  std::vector<DWORD> types;
  std::vector<DWORD> sizes;
};

class RegEnumeratorTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    // Tree:  T (v1, v2) -> a (av) -> a1 (a1v)
    //                   -> b
    //                   -> c -> c1
    SetString(HKEY_LOCAL_MACHINE, "T", "v1", "one");
    SetDword(HKEY_LOCAL_MACHINE, "T", "v2", 2);
    SetString(HKEY_LOCAL_MACHINE, "T\\a", "av", "x");
    SetString(HKEY_LOCAL_MACHINE, "T\\a\\a1", "a1v", "y");
    CreateKey(HKEY_LOCAL_MACHINE, "T\\b");
    CreateKey(HKEY_LOCAL_MACHINE, "T\\c\\c1");
    enumerator_.SetRoot(HKEY_LOCAL_MACHINE);
    enumerator_.SetPath("T");
  }

  CScanContext context_;
  RegEnumerator enumerator_;
  Recorder recorder_;
};

TEST_F(RegEnumeratorTest, MissingStartKeyReportsNothing) {
  enumerator_.SetPath("Nowhere");
  CScanContext& c = context_;
  int keysBefore = c.GetKeysVisited();
  EXPECT_EQ(0, enumerator_.Walk(context_, recorder_));
  EXPECT_TRUE(recorder_.calls.empty());
  EXPECT_EQ(keysBefore, c.GetKeysVisited());
}

TEST_F(RegEnumeratorTest, DepthZeroReportsValuesThenSubkeysWithoutDescent) {
  enumerator_.SetMaxDepth(0);
  enumerator_.SetFlags(3);
  CScanContext& c = context_;
  int keysBefore = c.GetKeysVisited();
  int valuesBefore = c.GetValuesVisited();
  enumerator_.Walk(context_, recorder_);
  std::vector<std::string> expected = {"V T|v1", "V T|v2", "K T|a", "K T|b", "K T|c"};
  EXPECT_EQ(expected, recorder_.calls);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), recorder_.types[0]);
  EXPECT_EQ(4u, recorder_.sizes[0]);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), recorder_.types[1]);
  // The start key plus the three reported subkeys.
  EXPECT_EQ(keysBefore + 4, c.GetKeysVisited());
  EXPECT_EQ(valuesBefore + 2, c.GetValuesVisited());
  EXPECT_EQ("HKLM\\T\\c", c.GetCurrentKey());
}

TEST_F(RegEnumeratorTest, UnlimitedDepthVisitsDepthFirstValuesBeforeSubkeys) {
  enumerator_.SetMaxDepth(-1);
  enumerator_.SetFlags(3);
  enumerator_.Walk(context_, recorder_);
  std::vector<std::string> expected = {
      "V T|v1",    "V T|v2",        "K T|a",          "K T|b", "K T|c",
      "V T\\a|av", "K T\\a|a1",     "V T\\a\\a1|a1v", "K T\\c|c1",
  };
  EXPECT_EQ(expected, recorder_.calls);
}

TEST_F(RegEnumeratorTest, ValuesOnlyReachesEveryDepth) {
  enumerator_.SetFlags(2);
  enumerator_.Walk(context_, recorder_);
  std::vector<std::string> expected = {"V T|v1", "V T|v2", "V T\\a|av", "V T\\a\\a1|a1v"};
  EXPECT_EQ(expected, recorder_.calls);
}

TEST_F(RegEnumeratorTest, KeysOnlyReportsEveryKeyBelowTheStartOnce) {
  enumerator_.SetFlags(1);
  CScanContext& c = context_;
  int keysBefore = c.GetKeysVisited();
  enumerator_.Walk(context_, recorder_);
  std::vector<std::string> expected = {"K T|a", "K T|b", "K T|c", "K T\\a|a1", "K T\\c|c1"};
  EXPECT_EQ(expected, recorder_.calls);
  // Each of the six keys is opened once, and the five below the start are
  // also counted when reported.
  EXPECT_EQ(keysBefore + 6 + 5, c.GetKeysVisited());
}

TEST_F(RegEnumeratorTest, DepthOneStopsBelowTheFirstLevel) {
  enumerator_.SetMaxDepth(1);
  enumerator_.SetFlags(3);
  enumerator_.Walk(context_, recorder_);
  for (const std::string& call : recorder_.calls) EXPECT_EQ(std::string::npos, call.find("a1v"));
  EXPECT_NE(std::find(recorder_.calls.begin(), recorder_.calls.end(), "K T\\a|a1"),
            recorder_.calls.end());
}

TEST_F(RegEnumeratorTest, PendingCancelStopsBeforeTheFirstStep) {
  context_.Cancel();
  EXPECT_EQ(1, enumerator_.Walk(context_, recorder_));
  EXPECT_TRUE(recorder_.calls.empty());
}

// Cancels after a given number of handler calls and records any call after.
class CancellingHandler : public IRegEnumHandler {
 public:
  CancellingHandler(CScanContext& context, int after) : context_(context), after_(after) {}
  void OnValue(HKEY, const std::string&, const std::string&, DWORD, DWORD) override { Count(); }
  void OnKey(HKEY, const std::string&, const std::string&) override { Count(); }
  int calls = 0;

 private:
  void Count() {
    ++calls;
    if (calls == after_) context_.Cancel();
  }
  CScanContext& context_;
  int after_;
};

TEST_F(RegEnumeratorTest, CancelDuringALargeKeyEndsWithinOneStep) {
  HKEY big = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Big", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &big, nullptr));
  for (int i = 0; i < 300; ++i) {
    std::string name = "value" + std::to_string(i);
    RegSetValueExA(big, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    if (i < 50) {
      HKEY sub = nullptr;
      RegCreateKeyExA(big, ("sub" + std::to_string(i)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &sub, nullptr);
      RegCloseKey(sub);
    }
  }
  RegCloseKey(big);

  for (int after : {1, 10, 320}) {
    context_.ClearCancel();
    CancellingHandler handler(context_, after);
    enumerator_.SetPath("Big");
    enumerator_.SetFlags(3);
    enumerator_.Walk(context_, handler);
    EXPECT_EQ(after, handler.calls) << "handler ran after the cancel";
  }
}

TEST_F(RegEnumeratorTest, OverlongNamesEndTheListingWithoutCrash) {
  std::string longName(1100, 'n');
  SetString(HKEY_LOCAL_MACHINE, "Long", "a", "1");
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Long", 0, KEY_ALL_ACCESS, &key));
  LONG rc = RegSetValueExA(key, longName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) GTEST_SKIP() << "registry refuses names this long";
  enumerator_.SetPath("Long");
  enumerator_.SetFlags(2);
  enumerator_.Walk(context_, recorder_);
  // Whatever comes before the long name is listed; the long name never is.
  for (const std::string& call : recorder_.calls) EXPECT_LT(call.size(), 1024u);
}

TEST(RegRoots, AbbreviationsAndPathText) {
  EXPECT_STREQ("HKLM", RootAbbreviation(HKEY_LOCAL_MACHINE));
  EXPECT_STREQ("HKCU", RootAbbreviation(HKEY_CURRENT_USER));
  EXPECT_STREQ("HKCR", RootAbbreviation(HKEY_CLASSES_ROOT));
  EXPECT_STREQ("", RootAbbreviation(HKEY_USERS));
  EXPECT_EQ("HKCU\\Software\\X", KeyPathText(HKEY_CURRENT_USER, "Software\\X"));
  EXPECT_EQ("", KeyPathText(HKEY_USERS, "Software"));
  EXPECT_EQ("a\\b", JoinKeyPath("a", "b"));
  EXPECT_EQ("b", JoinKeyPath("", "b"));
}

}  // namespace

namespace {

// Names the ANSI code page cannot carry come back with substitutes and can
// then not be opened: such entries are counted but never handed on.
TEST_F(RegEnumeratorTest, NamesOutsideTheCodePageAreCountedButNotReported) {
  HKEY parent = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"T\\b", 0, KEY_ALL_ACCESS, &parent));
  HKEY greek = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(parent, L"\x039A\x03BB\x03B5\x03B9\x03B4\x03AF", 0,
                                           nullptr, 0, KEY_ALL_ACCESS, nullptr, &greek, nullptr));
  RegCloseKey(greek);
  const wchar_t cjk[] = L"\x6587\x4EF6";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(parent, cjk, 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(L"x"), 4));
  // A name that really holds a question mark is reachable and reported.
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(parent, L"what?", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(L"x"), 4));
  RegCloseKey(parent);

  enumerator_.SetPath("T\\b");
  enumerator_.SetFlags(3);
  CScanContext& c = context_;
  int keysBefore = c.GetKeysVisited();
  int valuesBefore = c.GetValuesVisited();
  enumerator_.Walk(context_, recorder_);
  EXPECT_EQ((std::vector<std::string>{"V T\\b|what?"}), recorder_.calls);
  // T\b itself, the Greek subkey reported; its descent cannot open it.
  EXPECT_EQ(keysBefore + 2, c.GetKeysVisited());
  EXPECT_EQ(valuesBefore + 2, c.GetValuesVisited());
}

}  // namespace

namespace {

// Records each value's data as handed over, and reads the same value itself
// through the walk's key to compare.
class DataRecorder : public CRegEnumHandlerBase {
 public:
  void OnValueData(HKEY key, const std::string& path, const std::string& name, DWORD type,
                   const BYTE* data, DWORD size) override {
    std::string own(size + 16, '\xbd');
    DWORD ownType = REG_NONE;
    DWORD ownSize = static_cast<DWORD>(own.size());
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name.c_str(), nullptr, &ownType,
                                              reinterpret_cast<BYTE*>(&own[0]), &ownSize));
    EXPECT_EQ(ownType, type) << name;
    EXPECT_EQ(std::string(own, 0, ownSize), std::string(reinterpret_cast<const char*>(data), size))
        << name;
    calls.push_back(path + "|" + name + "|" + std::to_string(size));
    if (grow_ && name == grow_->first) SetRaw(HKEY_LOCAL_MACHINE, path, grow_->second, REG_BINARY,
                                              std::string(10000, 'g').data(), 10000);
  }
  // When value `first` is handed over, rewrites value `second` of the same
  // key with more data than any value held when the key was opened.
  void GrowLater(const std::string& first, const std::string& second) {
    growing_ = {first, second};
    grow_ = &growing_;
  }
  std::vector<std::string> calls;

 private:
  std::pair<std::string, std::string> growing_;
  const std::pair<std::string, std::string>* grow_ = nullptr;
};

TEST_F(RegEnumeratorTest, EachValueComesWithItsData) {
  SetRaw(HKEY_LOCAL_MACHINE, "D", "big", REG_BINARY, std::string(5000, 'b').data(), 5000);
  SetRaw(HKEY_LOCAL_MACHINE, "D", "empty", REG_SZ, "", 0);
  SetRaw(HKEY_LOCAL_MACHINE, "D", "open", REG_EXPAND_SZ, "%x%", 3);  // no terminator
  SetString(HKEY_LOCAL_MACHINE, "D", "", "default");
  SetDword(HKEY_LOCAL_MACHINE, "D\\deep\\er\\still", "n", 7);
  DataRecorder handler;
  enumerator_.SetPath("D");
  enumerator_.SetFlags(2);
  enumerator_.Walk(context_, handler);
  // The size of data without a terminator is what RegQueryValueEx says
  // (Wine's ANSI calls add one); the handler compared the bytes themselves.
  DWORD type = REG_NONE;
  std::string open;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, "D", "open", type, open));
  std::vector<std::string> expected = {"D|big|5000", "D|empty|0",
                                       "D|open|" + std::to_string(open.size()), "D||8",
                                       "D\\deep\\er\\still|n|4"};
  std::sort(expected.begin(), expected.end());
  std::sort(handler.calls.begin(), handler.calls.end());
  EXPECT_EQ(expected, handler.calls);
}

TEST_F(RegEnumeratorTest, DataThatGrowsDuringTheWalkIsHandedOverWhole) {
  SetString(HKEY_LOCAL_MACHINE, "G", "first", "1");
  SetString(HKEY_LOCAL_MACHINE, "G", "second", "2");
  DataRecorder handler;
  handler.GrowLater("first", "second");
  enumerator_.SetPath("G");
  enumerator_.SetFlags(2);
  enumerator_.Walk(context_, handler);
  EXPECT_EQ((std::vector<std::string>{"G|first|2", "G|second|10000"}), handler.calls);
}

LONG DeleteBelow(const char* parentPath, const char* name) {
  RegKey parent;
  LONG rc = parent.Open(HKEY_LOCAL_MACHINE, parentPath, KEY_ALL_ACCESS);
  return rc != ERROR_SUCCESS ? rc : DeleteKeyTree(parent.Handle(), name);
}

// Deletes a key, or creates one, when a given call comes.
class ChangingHandler : public Recorder {
 public:
  void OnKey(HKEY key, const std::string& path, const std::string& name) override {
    Recorder::OnKey(key, path, name);
    if (path + "|" + name == at) change();
  }
  void OnValue(HKEY key, const std::string& path, const std::string& name, DWORD type,
               DWORD size) override {
    Recorder::OnValue(key, path, name, type, size);
    if (path + "|" + name == at) change();
  }
  std::string at;
  std::function<void()> change;
};

TEST_F(RegEnumeratorTest, SubkeysThatGoAwayDuringTheWalkAreSkipped) {
  SetString(HKEY_LOCAL_MACHINE, "T\\b", "bv", "z");
  CScanContext& c = context_;
  // Removed while its parent's subkeys are reported: listed once, so still
  // reported, but never descended into.
  ChangingHandler reporting;
  reporting.at = "T|a";
  reporting.change = [] { EXPECT_EQ(ERROR_SUCCESS, DeleteBelow("T", "b")); };
  enumerator_.SetFlags(3);
  int keysBefore = c.GetKeysVisited();
  enumerator_.Walk(context_, reporting);
  EXPECT_EQ((std::vector<std::string>{"V T|v1", "V T|v2", "K T|a", "K T|b", "K T|c", "V T\\a|av",
                                      "K T\\a|a1", "V T\\a\\a1|a1v", "K T\\c|c1"}),
            reporting.calls);
  // T, its three subkeys reported, a, a1 reported, a1, c, c1 reported, c1.
  EXPECT_EQ(keysBefore + 10, c.GetKeysVisited());

  // Removed, with a key created beside it, while a sibling is descended
  // into: the removed one is skipped, the new one was not listed.
  ChangingHandler descending;
  descending.at = "T\\a|av";
  descending.change = [] {
    EXPECT_EQ(ERROR_SUCCESS, DeleteBelow("T", "c"));
    SetString(HKEY_LOCAL_MACHINE, "T\\d", "dv", "new");
  };
  enumerator_.SetFlags(2);
  enumerator_.Walk(context_, descending);
  EXPECT_EQ((std::vector<std::string>{"V T|v1", "V T|v2", "V T\\a|av", "V T\\a\\a1|a1v"}),
            descending.calls);
}

}  // namespace
