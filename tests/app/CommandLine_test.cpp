// Start switches, the options object and the settings the program writes.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "app/AppOptions.h"
#include "app/AppSettings.h"
#include "app/MyCommandLineInfo.h"
#include "engine/ScanCategories.h"
#include "engine/SystemInfo.h"
#include "support/RegistrySandbox.h"
#include "support/TestPlatform.h"

using namespace testsupport;

namespace {

const char kSettingsKey[] = "Software\\Varnholt\\Varnholt\\Settings";

struct SwitchCase {
  const char* commandLine;
  int background;
  int scanAtStart;
};

TEST(CommandLineTest, OnlyExactFlagsSetTheStartFlags) {
  const SwitchCase cases[] = {
      {"Varnholt.exe", 0, 0},
      {"Varnholt.exe /fast", 1, 0},
      {"Varnholt.exe -fast", 1, 0},
      {"Varnholt.exe /scan", 1, 1},
      {"Varnholt.exe -scan", 1, 1},
      {"Varnholt.exe /SCAN", 0, 0},
      {"Varnholt.exe /Fast", 0, 0},
      {"Varnholt.exe scan", 0, 0},
      {"Varnholt.exe fast", 0, 0},
      {"Varnholt.exe /scanx", 0, 0},
      {"Varnholt.exe /sca", 0, 0},
      {"Varnholt.exe //scan", 0, 0},
      {"Varnholt.exe /fast /scan", 1, 1},
      {"Varnholt.exe /scan other.txt /fast", 1, 1},
      {"\"C:\\Program Files\\Varnholt\\Varnholt.exe\" /scan", 1, 1},
  };
  for (const SwitchCase& c : cases) {
    CAppOptions options;
    CMyCommandLineInfo info(options);
    fw::ParseCommandLine(c.commandLine, info);
    EXPECT_EQ(c.background, options.GetBackgroundMode()) << c.commandLine;
    EXPECT_EQ(c.scanAtStart, options.GetScanAtStart()) << c.commandLine;
  }
}

TEST(CommandLineTest, AFlagAddsToWhatIsSetAlready) {
  CAppOptions options;
  options.SetScanAtStart(1);
  CMyCommandLineInfo info(options);
  info.ParseParam("fast", true, true);
  EXPECT_EQ(1, options.GetBackgroundMode());
  EXPECT_EQ(1, options.GetScanAtStart());
  info.ParseParam(nullptr, true, true);
  EXPECT_EQ(1, options.GetBackgroundMode());
}

class OptionsTest : public SandboxTest {};

TEST_F(OptionsTest, EmptyProfileReadsEveryOptionAsOn) {
  CAppOptions options;
  EXPECT_EQ(1, options.GetShowSplash());
  EXPECT_EQ(1, options.GetPromptToFix());
  EXPECT_EQ(1, options.GetUseSound());
  EXPECT_EQ(0, options.GetBackgroundMode());
  EXPECT_EQ(0, options.GetScanAtStart());
}

TEST_F(OptionsTest, StoredOptionsAreReadAndSavedAsDwords) {
  SetDword(HKEY_CURRENT_USER, kSettingsKey, "ShowSplash", 0);
  SetDword(HKEY_CURRENT_USER, kSettingsKey, "PromptFix", 1);
  SetDword(HKEY_CURRENT_USER, kSettingsKey, "UseSound", 0);
  CAppOptions options;
  EXPECT_EQ(0, options.GetShowSplash());
  EXPECT_EQ(1, options.GetPromptToFix());
  EXPECT_EQ(0, options.GetUseSound());

  options.SetShowSplash(1);
  options.SetPromptToFix(0);
  options.Save();
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, kSettingsKey, "PromptFix", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  ASSERT_EQ(4u, data.size());
  EXPECT_EQ(std::string("\0\0\0\0", 4), data);
  CAppOptions reread;
  EXPECT_EQ(1, reread.GetShowSplash());
  EXPECT_EQ(0, reread.GetPromptToFix());
  EXPECT_EQ(0, reread.GetUseSound());
}

DWORD ReadCount(const char* name) {
  DWORD type = 0;
  std::string data;
  if (!ReadRaw(HKEY_CURRENT_USER, kSettingsKey, name, type, data) || type != REG_DWORD ||
      data.size() != 4)
    return 0xdeadbeef;
  DWORD value;
  memcpy(&value, data.data(), 4);
  return value;
}

TEST_F(OptionsTest, CategoryCountsAreWrittenForEveryCategory) {
  CategoryCountMap counts;
  counts[RegCheck::kCatSharedDll] = 12;
  counts[RegCheck::kCatHistory] = 3;
  counts[0] = 0;
  SetDword(HKEY_CURRENT_USER, kSettingsKey, "regFonts", 99);
  GetAppSettings().SaveCategoryCounts(counts);
  EXPECT_EQ(12u, ReadCount("regSharedDll"));
  EXPECT_EQ(3u, ReadCount("regHistory"));
  EXPECT_EQ(0u, ReadCount("regFonts"));
  EXPECT_EQ(0u, ReadCount("regEntireSearch"));
  for (const char* name : {"regAppPath", "regHelpFiles", "regUninstall", "regFileAssociation",
                           "regService", "regComObject", "regStartup"})
    EXPECT_EQ(0u, ReadCount(name)) << name;
  // Missing keys were added to the map as zero counts.
  EXPECT_EQ(11u, counts.size());
  EXPECT_EQ(0xdeadbeefu, ReadCount("regCLS"));
  GetAppSettings().MarkFixRun();
  EXPECT_EQ(1u, ReadCount("regCLS"));
}

TEST(SettingsTest, SystemDescriptionNamesVersionOsAndArchitecture) {
  const std::string text = GetAppSettings().GetSystemDescription();
  const std::string head = "\r\nVarnholt Version 1.37 on ";
  ASSERT_EQ(0u, text.find(head)) << text;
  int major = -1, minor = -1, arch = -1;
  char rest = 0;
  ASSERT_EQ(3, sscanf(text.c_str() + head.size(), "%d.%d, %d%c", &major, &minor, &arch, &rest))
      << text;
  EXPECT_GE(major, 5);
  EXPECT_GE(minor, 0);
  std::string version, architecture;
  RegCheck::GetOsVersion(version, architecture);
  EXPECT_EQ(head + version + ", " + architecture, text);
  // The architecture is that of Windows, whatever the program's own bitness.
  EXPECT_EQ(PrefixIs64Bit() ? "9" : "0", architecture);
  EXPECT_EQ("Version 1.37", CAppSettings::GetVersionString());
}

}  // namespace
