// Fonts: the value's data names the font file, as written or inside the
// fonts folder of the Windows folder.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "checkers/FontsChecker.h"
#include "engine/ScanCategories.h"
#include "support/EnvOverride.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kFonts[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

class FontsCheckerTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
    temp_.MakeFile("win\\Fonts\\inwindows.ttf");
    temp_.MakeFile("elsewhere\\own.otf");
    systemRoot_.reset(new EnvOverride("SYSTEMROOT", temp_.PathOf("win")));
    path_.reset(new EnvOverride("PATH", temp_.PathOf("nowhere")));
  }

  std::vector<std::string> Reported() {
    CActionList results;
    CFontsChecker().Scan(context_, results);
    std::vector<std::string> names;
    for (CRegistryAction* action : results)
      names.push_back(static_cast<CFontsAction*>(action)->GetValueName());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<EnvOverride> systemRoot_;
  std::unique_ptr<EnvOverride> path_;
};

TEST_F(FontsCheckerTest, BareNamesAreLookedUpInTheFontsFolder) {
  SetString(HKEY_LOCAL_MACHINE, kFonts, "In Windows (TrueType)", "inwindows.ttf");
  SetString(HKEY_LOCAL_MACHINE, kFonts, "In Windows Upper (TrueType)", "INWINDOWS.TTF");
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Gone (TrueType)", "gone.ttf");
  // Only the fonts folder counts, not the Windows folder itself.
  temp_.MakeFile("win\\notfonts.ttf");
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Beside (TrueType)", "notfonts.ttf");
  EXPECT_EQ((std::vector<std::string>{"Beside (TrueType)", "Gone (TrueType)"}), Reported());

  // Another Windows folder holds other fonts.
  EnvOverride other("SYSTEMROOT", temp_.PathOf("elsewhere"));
  EXPECT_EQ((std::vector<std::string>{"Beside (TrueType)", "Gone (TrueType)",
                                      "In Windows (TrueType)", "In Windows Upper (TrueType)"}),
            Reported());
}

TEST_F(FontsCheckerTest, FullPathsAndVariablesAreTestedAsWritten) {
  EnvOverride dir("VH_FONTDIR", temp_.PathOf("elsewhere"));
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Own", temp_.PathOf("elsewhere\\own.otf"));
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Own Gone", temp_.PathOf("elsewhere\\gone.otf"));
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Own Var", "%VH_FONTDIR%\\own.otf", REG_EXPAND_SZ);
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Fonts Var", "%SystemRoot%\\Fonts\\inwindows.ttf");
  EXPECT_EQ((std::vector<std::string>{"Own Gone"}), Reported());
}

TEST_F(FontsCheckerTest, UnreadableOrEmptyDataAndFoldersAreErrors) {
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Too Long", "inwindows.ttf" + std::string(300, ' '));
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Empty", "");
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Folder", "..\\Fonts");
  // Data without its terminator still names the file.
  SetRaw(HKEY_LOCAL_MACHINE, kFonts, "Raw", REG_SZ, "inwindows.ttf", 13);
  EXPECT_EQ((std::vector<std::string>{"Empty", "Folder", "Too Long"}), Reported());
}

TEST_F(FontsCheckerTest, ActionTextsAndFix) {
  SetString(HKEY_LOCAL_MACHINE, kFonts, "Gone Bold (TrueType)", "gonebd.ttf");
  SetString(HKEY_LOCAL_MACHINE, kFonts, "In Windows (TrueType)", "inwindows.ttf");

  CActionList results;
  CFontsChecker().Scan(context_, results);
  ASSERT_EQ(1, results.Count());
  CRegistryAction* action = results.At(0);
  EXPECT_EQ(kCatFonts, action->GetCategory());
  std::string text = "sentinel";
  EXPECT_EQ(1, action->GetDescription(text));
  EXPECT_EQ("Font Gone Bold (TrueType) is absent", text);
  EXPECT_EQ(1, action->GetLocation(text));
  EXPECT_EQ(
      "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts (VALUE:Gone Bold (TrueType))",
      text);

  EXPECT_EQ(1, action->Fix());
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kFonts, "Gone Bold (TrueType)"));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kFonts, "In Windows (TrueType)"));
  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(1, session.Count());
  EXPECT_EQ("Font entry Gone Bold (TrueType)", session.At(0)->GetDescription());
  EXPECT_EQ(1, session.At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, kFonts, "Gone Bold (TrueType)", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(std::string("gonebd.ttf", 11), data);
}

}  // namespace
