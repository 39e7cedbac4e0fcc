// The stored ignore list: what a round trip keeps, what damaged or
// over-long values do (skipped, never a crash), and the scan turning away
// the ignored errors, whatever the letter case of their location.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/IgnoreList.h"
#include "engine/ScanCategories.h"
#include "engine/ScanCoordinator.h"
#include "support/BackupSandbox.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

class IgnoreListTest : public BackupSandboxTest {
 protected:
  static IgnoreEntry Entry(int category, const std::string& location, const std::string& text = "") {
    IgnoreEntry entry;
    entry.category = category;
    entry.location = location;
    entry.description = text;
    return entry;
  }
  std::string SharedDllLocation(const std::string& value) {
    return std::string("HKLM\\") + kSharedDlls + " (VALUE:" + value + ")";
  }
};

TEST_F(IgnoreListTest, AddReadRemoveRoundTrip) {
  EXPECT_TRUE(ReadIgnoreList().empty());
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(Entry(kCatSharedDll, "HKLM\\A (VALUE:x|y)", "Shared dll x")));
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(Entry(kCatHistory, "HKCU\\B")));
  // The same category and location again replaces, never duplicates.
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(Entry(kCatSharedDll, "HKLM\\A (VALUE:x|y)", "newer")));
  std::vector<IgnoreEntry> entries = ReadIgnoreList();
  ASSERT_EQ(2u, entries.size());
  const IgnoreEntry& shared = entries[0].category == kCatSharedDll ? entries[0] : entries[1];
  EXPECT_EQ("HKLM\\A (VALUE:x|y)", shared.location);
  EXPECT_EQ("newer", shared.description);

  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RemoveIgnoreEntry(kCatFonts, "HKCU\\B"));
  EXPECT_EQ(ERROR_SUCCESS, RemoveIgnoreEntry(kCatHistory, "HKCU\\B"));
  entries = ReadIgnoreList();
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ(kCatSharedDll, entries[0].category);
}

TEST_F(IgnoreListTest, RefusesWhatCouldNotBeReadBack) {
  EXPECT_EQ(ERROR_INVALID_PARAMETER, AddIgnoreEntry(Entry(0x3, "HKCU\\X")));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, AddIgnoreEntry(Entry(kCatFonts, "")));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, AddIgnoreEntry(Entry(kCatFonts, std::string(5000, 'k'))));
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            AddIgnoreEntry(Entry(kCatFonts, "HKCU\\X", std::string(3000, 'd'))));
  EXPECT_TRUE(ReadIgnoreList().empty());
}

TEST_F(IgnoreListTest, DamagedAndOverLongValuesAreSkipped) {
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(Entry(kCatFonts, "HKLM\\Good")));
  const std::string zero(1, '\0');
  SetString(HKEY_CURRENT_USER, kIgnoreListKey, "no separator", "x");
  SetString(HKEY_CURRENT_USER, kIgnoreListKey, "Bogus|HKLM\\X", "x");
  SetString(HKEY_CURRENT_USER, kIgnoreListKey, "Fonts|", "x");
  SetString(HKEY_CURRENT_USER, kIgnoreListKey, "regFonts|HKLM\\X", "x");
  SetDword(HKEY_CURRENT_USER, kIgnoreListKey, "Fonts|HKLM\\Dword", 1);
  SetString(HKEY_CURRENT_USER, kIgnoreListKey, "Fonts|" + std::string(6000, 'L'), "x");
  SetString(HKEY_CURRENT_USER, kIgnoreListKey, "Fonts|HKLM\\LongText", std::string(70000, 't'));
  // Text without its terminator is still read, up to its end.
  SetRaw(HKEY_CURRENT_USER, kIgnoreListKey, "History|HKCU\\Raw", REG_SZ, "abc", 3);
  std::vector<IgnoreEntry> entries = ReadIgnoreList();
  ASSERT_EQ(2u, entries.size());
  for (const IgnoreEntry& entry : entries) {
    if (entry.category == kCatFonts) {
      EXPECT_EQ("HKLM\\Good", entry.location);
    } else {
      EXPECT_EQ(kCatHistory, entry.category);
      EXPECT_EQ("abc", entry.description);
    }
  }
}

TEST_F(IgnoreListTest, ScanTurnsAwayIgnoredErrorsInAnyLetterCase) {
  const std::string gone = temp_.PathOf("gone");
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, gone + "\\keep.dll", 1);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, gone + "\\skip.dll", 1);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, gone + "\\other.dll", 1);
  std::string upper = SharedDllLocation(gone + "\\SKIP.DLL");
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(Entry(kCatSharedDll, upper)));
  // Same location, other category: does not hide the shared DLL error.
  ASSERT_EQ(ERROR_SUCCESS, AddIgnoreEntry(Entry(kCatFonts, SharedDllLocation(gone + "\\other.dll"))));

  CScanCoordinator coordinator;
  CActionList results;
  coordinator.SetCategories(kCatSharedDll);
  coordinator.Start(&results);
  coordinator.WaitDone();
  std::vector<std::string> found;
  for (CRegistryAction* action : results) {
    std::string location;
    action->GetLocation(location);
    found.push_back(location);
  }
  EXPECT_EQ(2, results.CountInCategory(kCatSharedDll));
  std::sort(found.begin(), found.end());
  EXPECT_EQ((std::vector<std::string>{SharedDllLocation(gone + "\\keep.dll"),
                                      SharedDllLocation(gone + "\\other.dll")}),
            found);
}

}  // namespace
