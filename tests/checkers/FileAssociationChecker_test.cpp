// Extension keys of the class root and the user's Explorer FileExts records
// over a sandboxed registry and real temporary files, and both fixes with
// their restore.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CheckerTestSupport.h"
#include "checkers/FileAssociationChecker.h"
#include "support/EnvOverride.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

using Lines = std::vector<std::string>;

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

Lines Sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string Invalid(const std::string& extension) {
  return extension + " extension is associated with invalid application @ HKCR\\" + extension;
}

std::string Unassociated(const std::string& extension) {
  return extension + " extension is not associated with any application @ HKCR\\" + extension;
}

class FileAssociationTest : public checkertest::CheckerTest {
 protected:
  void SetUp() override {
    CheckerTest::SetUp();
    viewer_ = temp_.MakeFile("Program Files\\App\\viewer.exe");
    temp_.MakeFile("onpath\\helper.exe");
    path_.reset(new EnvOverride("PATH", temp_.PathOf("onpath")));
  }
  void TearDown() override {
    path_.reset();
    CheckerTest::TearDown();
  }

  // Extension `extension` naming class `className` with open command
  // `command`.
  void Associate(const std::string& extension, const std::string& className,
                 const std::string& command) {
    SetString(HKEY_CLASSES_ROOT, extension, "", className);
    SetString(HKEY_CLASSES_ROOT, className + "\\shell\\open\\command", "", command);
  }
  void Record(const std::string& extension, const std::string& subkey) {
    const std::string key = std::string(kFileExts) + "\\" + extension;
    CreateKey(HKEY_CURRENT_USER, subkey.empty() ? key : key + "\\" + subkey);
  }

  std::string viewer_;
  std::unique_ptr<EnvOverride> path_;
  CFileAssociationChecker checker_;
};

TEST_F(FileAssociationTest, ClassRootExtensions) {
  CreateKey(HKEY_CLASSES_ROOT, ".noclass");
  CreateKey(HKEY_CLASSES_ROOT, ".pers\\PersistentHandler");
  CreateKey(HKEY_CLASSES_ROOT, ".shx\\ShellEx\\{8895b1c6-b41f-4c1c-a562-0d564250836f}");
  CreateKey(HKEY_CLASSES_ROOT, ".EXE");
  CreateKey(HKEY_CLASSES_ROOT, ".Lnk");
  CreateKey(HKEY_CLASSES_ROOT, "noext");
  Associate(".good", "goodfile", "\"" + viewer_ + "\" \"%1\"");
  Associate(".gone", "gonefile", "\"C:\\nowhere\\app.exe\" \"%1\"");
  Associate(".bare", "barefile", "helper %1");
  Associate(".mail", "mailfile", "\"C:\\Nowhere\\MSIMN.EXE\" /mailurl:%1");
  Associate(".web", "webfile", "C:\\Nowhere\\IExplore.exe -nohome %1");
  SetString(HKEY_CLASSES_ROOT, ".nocmd", "", "nocmdfile");
  CreateKey(HKEY_CLASSES_ROOT, "nocmdfile\\DefaultIcon");
  SetString(HKEY_CLASSES_ROOT, ".noclasskey", "", "missingfile");
  SetDword(HKEY_CLASSES_ROOT, ".number", "", 1);
  SetString(HKEY_CLASSES_ROOT, ".numbercmd", "", "numbercmdfile");
  SetDword(HKEY_CLASSES_ROOT, "numbercmdfile\\shell\\open\\command", "", 1);
  // A command too long to read falls back to the class key, which exists.
  Associate(".longcmd", "longcmdfile", "C:\\" + std::string(300, 'c') + ".exe");

  EXPECT_EQ(Sorted({Invalid(".gone"), Invalid(".noclass"), Invalid(".noclasskey"),
                    Invalid(".number"), Invalid(".numbercmd")}),
            Sorted(Findings(checker_)));
  for (CRegistryAction* action : results_) {
    auto* association = static_cast<CFileAssociationAction*>(action);
    EXPECT_EQ(CFileAssociationAction::kClassRoot, association->GetSource());
    EXPECT_EQ(0x10, association->GetCategory());
  }
  // An extension key that vanished since it was listed is an error.
  EXPECT_FALSE(CFileAssociationChecker::CheckExtensionKey(context_, HKEY_CLASSES_ROOT, ".vanished"));
}

TEST_F(FileAssociationTest, UserFileExtsRecordsNeedOpenWithProgids) {
  Record(".txt", "OpenWithProgids");
  Record(".doc", "OpenWithList");
  Record(".doc", "UserChoice");
  Record(".empty", "");
  Record("DDECache", "");
  Record("OpenWithList", "");
  Record(".LOG", "");
  Record(".Xhtml", "UserChoice");
  Record(".SCR", "");

  EXPECT_EQ(Sorted({Unassociated(".doc"), Unassociated(".empty")}), Sorted(Findings(checker_)));
  for (CRegistryAction* action : results_)
    EXPECT_EQ(CFileAssociationAction::kFileExts,
              static_cast<CFileAssociationAction*>(action)->GetSource());
}

TEST_F(FileAssociationTest, BothFixesRemoveExactlyTheirKeyAndRestore) {
  Associate(".gone", "gonefile", "\"C:\\nowhere\\app.exe\" \"%1\"");
  SetString(HKEY_CLASSES_ROOT, ".gone", "Content Type", "text/x-gone");
  CreateKey(HKEY_CLASSES_ROOT, ".gone\\OpenWithList\\app.exe");
  Associate(".good", "goodfile", "\"" + viewer_ + "\" \"%1\"");
  Record(".doc", "OpenWithList");
  SetString(HKEY_CURRENT_USER, std::string(kFileExts) + "\\.doc\\OpenWithList", "a", "app.exe");
  Record(".txt", "OpenWithProgids");

  Findings(checker_);
  ASSERT_EQ(2, results_.Count());
  for (CRegistryAction* action : results_) {
    auto* association = static_cast<CFileAssociationAction*>(action);
    SCOPED_TRACE(association->GetExtension());
    const std::string gone = association->GetSource() == CFileAssociationAction::kFileExts
                                 ? std::string("HKCU\\") + kFileExts + "\\.doc"
                                 : "HKCR\\.gone";
    ExpectFixRemovesAndRestores(*association, gone,
                                "File association entry " + association->GetExtension());
  }
}

}  // namespace

// A survey of the running prefix's own registry; run by hand with
// --gtest_also_run_disabled_tests to list what a real scan reports.
TEST(FileAssociationRealRegistry, DISABLED_PrintFindings) {
  // The walks reached the real keys and the scan ran to its end.
  EXPECT_GT(checkertest::PrintRealScan(0x10), 0);
}
