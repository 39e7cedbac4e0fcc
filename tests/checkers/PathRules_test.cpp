// The forms of registry text that name a file: native and \SystemRoot\ paths,
// environment variables, quotes, arguments, missing extensions, PATH lookup.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "checkers/PathRules.h"
#include "support/EnvOverride.h"
#include "support/TempFolder.h"
#include "support/TestPlatform.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

class PathRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = temp_.MakeDir("root");
    temp_.MakeFile("root\\System32\\drivers\\x.sys");
    temp_.MakeFile("root\\System32\\tool.exe");
    temp_.MakeFile("bin\\run.exe");
    temp_.MakeFile("bin\\both.com");
    temp_.MakeFile("bin\\both.exe");
    temp_.MakeFile("Program Files\\App\\run.exe");
    temp_.MakeFile("onpath\\helper.exe");
    temp_.MakeDir("folder");
  }

  TempFolder temp_;
  std::string root_;
  CScanContext context_;
};

TEST_F(PathRulesTest, NormalizeDropsNativePrefixAndRewritesSystemRoot) {
  EnvOverride root("SYSTEMROOT", "C:\\Win");
  std::string native = "\\??\\C:\\Windows\\system32\\drivers\\x.sys";
  NormalizePath(context_, native);
  EXPECT_EQ("C:\\Windows\\system32\\drivers\\x.sys", native);

  for (std::string form : {"\\SystemRoot\\system32\\a.dll", "\\SYSTEMROOT\\system32\\a.dll",
                           "\\??\\\\systemroot\\system32\\a.dll"}) {
    NormalizePath(context_, form);
    EXPECT_EQ("C:\\Win\\system32\\a.dll", form);
  }
}

TEST_F(PathRulesTest, SystemRootElsewhereIsNotRewritten) {
  std::string inside = "C:\\x\\SystemRoot\\a.dll";
  NormalizePath(context_, inside);
  EXPECT_EQ("C:\\x\\SystemRoot\\a.dll", inside);
}

TEST_F(PathRulesTest, NormalizeExpandsVariables) {
  EnvOverride var("VH_DIR", "D:\\data");
  std::string text = "%VH_DIR%\\file.txt";
  NormalizePath(context_, text);
  EXPECT_EQ("D:\\data\\file.txt", text);
}

TEST_F(PathRulesTest, OverlongExpansionIsNeverFound) {
  // A real file, but named through a variable whose expansion passes 260.
  std::string padding(250, 'p');
  EnvOverride var("VH_LONG", padding);
  std::string text = temp_.PathOf("bin\\run.exe") + "%VH_LONG%";
  NormalizePath(context_, text);
  EXPECT_EQ("", text);
  EXPECT_FALSE(CheckPath(context_, text, PATH_FILE));
  EXPECT_FALSE(CheckPath(context_, temp_.PathOf("bin") + "\\%VH_LONG%\\run.exe", PATH_COMMAND));
}

TEST_F(PathRulesTest, LongArgumentsDoNotHideAnExistingProgram) {
  // Real uninstall and start commands carry long argument lists; the
  // program part is still tested even when the whole line cannot expand.
  std::string padding(250, 'p');
  EnvOverride var("VH_LONG", padding);
  EnvOverride root("SYSTEMROOT", root_);
  std::string args = " /log=\"%VH_LONG%\" /quiet";
  EXPECT_TRUE(CheckPath(context_, temp_.PathOf("bin\\run.exe") + args, PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, "\"%SYSTEMROOT%\\System32\\tool.exe\"" + args, PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, temp_.PathOf("Program Files\\App\\run.exe") + args, PATH_COMMAND));
  EXPECT_FALSE(CheckPath(context_, temp_.PathOf("bin\\gone.exe") + args, PATH_COMMAND));
  // Without argument stripping the line is one path, and too long.
  EXPECT_FALSE(CheckPath(context_, temp_.PathOf("bin\\run.exe") + args, PATH_FILE));
}

TEST_F(PathRulesTest, NativeAndSystemRootPathsAreFound) {
  EnvOverride root("SYSTEMROOT", root_);
  EXPECT_TRUE(CheckPath(context_, "\\SystemRoot\\System32\\drivers\\x.sys", PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, "\\??\\" + root_ + "\\System32\\drivers\\x.sys", PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, "%SystemRoot%\\System32\\tool.exe", PATH_FILE));
  EXPECT_FALSE(CheckPath(context_, "\\SystemRoot\\System32\\drivers\\gone.sys", PATH_COMMAND));
  // Without PATH_EXPAND nothing is rewritten.
  EXPECT_FALSE(CheckPath(context_, "%SystemRoot%\\System32\\tool.exe", PATH_ACCEPT_FILE));
}

TEST_F(PathRulesTest, QuotedProgramWithArguments) {
  std::string program = temp_.PathOf("Program Files\\App\\run.exe");
  EXPECT_TRUE(CheckPath(context_, "\"" + program + "\" /q \"%1\"", PATH_COMMAND));
  EXPECT_FALSE(CheckPath(context_, "\"" + program + " /q", PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, "  \"" + program + "\"  ", PATH_COMMAND));
  // Quotes are trimmed from a plain file name too.
  EXPECT_TRUE(CheckPath(context_, "\"" + program + "\"", PATH_FILE));
}

TEST_F(PathRulesTest, UnquotedCommandLineWithSpacesIsFoundThroughWordPrefixes) {
  std::string program = temp_.PathOf("Program Files\\App\\run.exe");
  EXPECT_TRUE(CheckPath(context_, program + " /q", PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, program + "   /q   -x", PATH_COMMAND));
  // The same text is no plain file.
  EXPECT_FALSE(CheckPath(context_, program + " /q", PATH_FILE));
  EXPECT_FALSE(CheckPath(context_, temp_.PathOf("Program Files\\App\\gone.exe") + " /q", PATH_COMMAND));
}

TEST_F(PathRulesTest, ExtensionsAreTriedOnlyWhenAsked) {
  std::string stem = temp_.PathOf("bin\\run");
  EXPECT_TRUE(CheckPath(context_, stem, PATH_COMMAND));
  EXPECT_FALSE(CheckPath(context_, stem, PATH_FILE));
  EXPECT_TRUE(CheckFile(context_, stem, PATH_ACCEPT_FILE | PATH_TRY_EXE));
  EXPECT_FALSE(CheckFile(context_, stem, PATH_ACCEPT_FILE | PATH_TRY_COM));
}

TEST_F(PathRulesTest, ComIsTriedBeforeExe) {
  std::string stem = temp_.PathOf("bin\\both");
  // Turn the .com form into a folder: if .com is tested first, a file-only
  // test fails although both.exe exists.
  DeleteFileA((stem + ".com").c_str());
  CreateDirectoryA((stem + ".com").c_str(), nullptr);
  EXPECT_FALSE(CheckFile(context_, stem, PATH_ACCEPT_FILE | PATH_TRY_COM | PATH_TRY_EXE));
  EXPECT_TRUE(CheckFile(context_, stem, PATH_ACCEPT_FILE | PATH_TRY_EXE));
  EXPECT_TRUE(CheckFile(context_, stem, PATH_ACCEPT_DIR | PATH_TRY_COM | PATH_TRY_EXE));
}

TEST_F(PathRulesTest, FoldersCountOnlyWhenAccepted) {
  std::string folder = temp_.PathOf("folder");
  EXPECT_FALSE(CheckPath(context_, folder, PATH_FILE));
  EXPECT_TRUE(CheckPath(context_, folder, PATH_FILE_OR_DIR));
  EXPECT_FALSE(CheckPath(context_, temp_.PathOf("bin\\run.exe"), PATH_ACCEPT_DIR));
  EXPECT_FALSE(CheckPath(context_, temp_.PathOf("bin\\run.exe"), 0));
}

TEST_F(PathRulesTest, BareNamesAreFoundThroughPath) {
  std::string onpath = temp_.PathOf("onpath");
  EnvOverride path("PATH", "C:\\nowhere;;" + onpath + "\\\\\\;C:\\other");
  EXPECT_TRUE(CheckPath(context_, "helper.exe", PATH_FILE));
  EXPECT_TRUE(CheckPath(context_, "helper", PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, "helper /p file.txt", PATH_COMMAND));
  EXPECT_TRUE(CheckPath(context_, "\"helper.exe\" -x", PATH_COMMAND));
  EXPECT_FALSE(CheckPath(context_, "helper", PATH_FILE));
  EXPECT_FALSE(CheckPath(context_, "absent.exe", PATH_FILE));
  EXPECT_FALSE(CheckPath(context_, "helper.exe", PATH_ACCEPT_FILE));
}

TEST_F(PathRulesTest, PathFolderTrailingBackslashesGiveOneSeparator) {
  std::string onpath = temp_.PathOf("onpath");
  EnvOverride path("PATH", onpath + "\\\\");
  EXPECT_TRUE(SearchEnvPath(context_, "helper.exe", PATH_ACCEPT_FILE));
  EXPECT_TRUE(SearchEnvPath(context_, " \"helper.exe\" ", PATH_ACCEPT_FILE));
  EnvOverride empty("PATH", "");
  EXPECT_FALSE(SearchEnvPath(context_, "helper.exe", PATH_ACCEPT_FILE));
}

TEST_F(PathRulesTest, WindowsAndSystemFoldersAreTriedOnlyWithTheirFlags) {
  EnvOverride root("SYSTEMROOT", root_);
  EnvOverride path("PATH", "");
  temp_.MakeFile("root\\win.ini");
  EXPECT_FALSE(CheckPath(context_, "tool.exe", PATH_FILE));
  EXPECT_TRUE(CheckPath(context_, "tool.exe", PATH_FILE | PATH_TRY_SYSDIRS));
  EXPECT_TRUE(CheckPath(context_, "\"tool\"", PATH_ACCEPT_FILE | PATH_TRY_SYSDIRS | PATH_TRY_EXE));
  EXPECT_TRUE(CheckPath(context_, "win.ini", PATH_FILE | PATH_TRY_WINDIR));
  EXPECT_FALSE(CheckPath(context_, "win.ini", PATH_FILE | PATH_TRY_SYSDIRS));
  temp_.MakeFile("root\\SysWOW64\\wowonly.dll");
  EXPECT_TRUE(CheckPath(context_, "wowonly.dll", PATH_FILE | PATH_TRY_SYSDIRS));
}

TEST_F(PathRulesTest, EmptyAndBlankTextIsNeverFound) {
  for (unsigned flags : {0x1E6u, 0x186u, 0x106u, 0x1E7u, 0x002u}) {
    EXPECT_FALSE(CheckPath(context_, "", flags)) << flags;
    EXPECT_FALSE(CheckPath(context_, "   ", flags)) << flags;
    EXPECT_FALSE(CheckPath(context_, "\"\"", flags)) << flags;
  }
}

TEST_F(PathRulesTest, CallersStringIsUnchanged) {
  const std::string text = "\\SystemRoot\\System32\\tool.exe /x";
  std::string copy = text;
  CheckPath(context_, copy, PATH_COMMAND);
  CheckFile(context_, copy, PATH_COMMAND);
  EXPECT_EQ(text, copy);
}

}  // namespace

// "%ProgramFiles%" and "%CommonProgramFiles%" are expanded as the program
// that reads the entry would: the folders stand in a temporary folder, named
// through the variables each kind of process sees on 64-bit Windows.
class PathViewTest : public PathRulesTest {
 protected:
  void SetUp() override {
    PathRulesTest::SetUp();
    temp_.MakeFile("P64\\App\\a64.exe");
    temp_.MakeFile("P86\\App\\a32.exe");
    temp_.MakeFile("C64\\Shared\\s64.dll");
    temp_.MakeFile("C86\\Shared\\s32.dll");
    const bool native = ProcessIs64Bit();
    vars_.emplace_back(new EnvOverride("ProgramW6432", temp_.PathOf("P64")));
    vars_.emplace_back(new EnvOverride("ProgramFiles(x86)", temp_.PathOf("P86")));
    vars_.emplace_back(new EnvOverride("ProgramFiles", temp_.PathOf(native ? "P64" : "P86")));
    vars_.emplace_back(new EnvOverride("CommonProgramW6432", temp_.PathOf("C64")));
    vars_.emplace_back(new EnvOverride("CommonProgramFiles(x86)", temp_.PathOf("C86")));
    vars_.emplace_back(new EnvOverride("CommonProgramFiles", temp_.PathOf(native ? "C64" : "C86")));
  }

  std::vector<std::unique_ptr<EnvOverride>> vars_;
};

TEST_F(PathViewTest, EachViewExpandsAsItsProgramWould) {
  const std::string a64 = "\"%ProgramFiles%\\App\\a64.exe\" /run";
  const std::string a32 = "%programfiles%\\App\\a32.exe";
  const std::string s64 = "%CommonProgramFiles%\\Shared\\s64.dll";
  const std::string s32 = "%COMMONPROGRAMFILES%\\Shared\\s32.dll";
  const std::string gone = "%ProgramFiles%\\App\\gone.exe";
  {
    CPathViewScope view(context_, RegView::kNativeView);
    EXPECT_TRUE(CheckPath(context_, a64, PATH_COMMAND));
    EXPECT_FALSE(CheckPath(context_, a32, PATH_COMMAND));
    EXPECT_TRUE(CheckPath(context_, s64, PATH_FILE));
    EXPECT_FALSE(CheckPath(context_, s32, PATH_FILE));
    std::string text = "%ProgramFiles%\\x";
    NormalizePath(context_, text);
    EXPECT_EQ(temp_.PathOf("P64") + "\\x", text);
    {
      // Scopes nest and put the outer view back.
      CPathViewScope inner(context_, RegView::kWow32View);
      EXPECT_TRUE(CheckPath(context_, a32, PATH_COMMAND));
    }
    EXPECT_FALSE(CheckPath(context_, a32, PATH_COMMAND));
  }
  {
    CPathViewScope view(context_, RegView::kWow32View);
    EXPECT_FALSE(CheckPath(context_, a64, PATH_COMMAND));
    EXPECT_TRUE(CheckPath(context_, a32, PATH_COMMAND));
    EXPECT_FALSE(CheckPath(context_, s64, PATH_FILE));
    EXPECT_TRUE(CheckPath(context_, s32, PATH_FILE));
  }
  // Keys both kinds of program read: either expansion will do on 64-bit
  // Windows; 32-bit Windows has only the process's own.
  const bool either = PrefixIs64Bit();
  EXPECT_EQ(either || ProcessIs64Bit(), CheckPath(context_, a64, PATH_COMMAND));
  EXPECT_EQ(either || !ProcessIs64Bit(), CheckPath(context_, a32, PATH_COMMAND));
  EXPECT_EQ(either || !ProcessIs64Bit(), CheckPath(context_, s32, PATH_FILE));
  EXPECT_FALSE(CheckPath(context_, gone, PATH_COMMAND));
  // Text without those variables is expanded once, as before.
  EXPECT_TRUE(CheckPath(context_, temp_.PathOf("P64\\App\\a64.exe"), PATH_FILE));
}
