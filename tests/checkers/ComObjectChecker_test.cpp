// COM registrations over a sandboxed class root and real temporary files:
// server precedence, application ids, ProgIDs, type libraries and machine
// class commands, and every kind of fix with its restore.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckerTestSupport.h"
#include "checkers/ComObjectChecker.h"
#include "support/EnvOverride.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

using Lines = std::vector<std::string>;

Lines Sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

class ComObjectTest : public checkertest::CheckerTest {
 protected:
  void SetUp() override {
    CheckerTest::SetUp();
    inproc_ = temp_.MakeFile("servers\\inproc.dll");
    local_ = temp_.MakeFile("servers\\local.exe");
    lib_ = temp_.MakeFile("types\\lib.dll");
    temp_.MakeFile("onpath\\helper.dll");
    temp_.MakeFile("onpath\\helper.exe");
    missing_ = temp_.PathOf("servers\\gone.dll");
    path_.reset(new EnvOverride("PATH", temp_.PathOf("onpath")));
  }
  void TearDown() override {
    path_.reset();
    CheckerTest::TearDown();
  }

  void Server(const std::string& clsid, const char* kind, const std::string& path) {
    SetString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\" + kind, "", path);
  }
  void ProgId(const std::string& name, const std::string& clsid) {
    SetString(HKEY_CLASSES_ROOT, name + "\\CLSID", "", clsid);
  }
  void Command(const std::string& className, const std::string& command) {
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + className + "\\Shell\\Open\\Command", "",
              command);
  }

  std::string inproc_, local_, lib_, missing_;
  std::unique_ptr<EnvOverride> path_;
  CComObjectChecker checker_;
};

TEST_F(ComObjectTest, LocalServerDecidesOverInprocServer) {
  Server("{CLS-A}", "InprocServer32", missing_);
  Server("{CLS-A}", "LocalServer32", local_);
  Server("{CLS-B}", "InprocServer32", inproc_);
  Server("{CLS-B}", "LocalServer32", missing_ + " -Embedding");
  CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{CLS-C}\\ProgID");  // no server at all
  Server("{CLS-D}", "InprocServer32", "helper.dll");       // bare name on PATH
  Server("{CLS-E}", "InprocServer32", "\"" + local_ + "\" /automation");
  Server("{CLS-F}", "InprocServer32", missing_);
  // A server that is no text does not read: the class has no server then.
  SetDword(HKEY_CLASSES_ROOT, "CLSID\\{CLS-G}\\InprocServer32", "", 7);

  EXPECT_EQ(Sorted({"CLSID {CLS-B} is invalid @ HKCR\\CLSID\\{CLS-B}",
                    "CLSID {CLS-F} is invalid @ HKCR\\CLSID\\{CLS-F}"}),
            Sorted(Findings(checker_)));
  for (CRegistryAction* action : results_) {
    auto* com = static_cast<CComObjectAction*>(action);
    EXPECT_EQ(CComObjectAction::kClsid, com->GetKind());
    EXPECT_EQ(0x40, com->GetCategory());
    EXPECT_EQ(1, com->IsSelected());
  }
}

TEST_F(ComObjectTest, BadAppIdRemovesOnlyTheValueAndItsProgIdsStaySilent) {
  Server("{CLS-E}", "LocalServer32", local_);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-E}", "AppId", "{APP-GONE}");
  ProgId("Sound.App", "{CLS-E}");
  Server("{CLS-G}", "InprocServer32", inproc_);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-G}", "AppId", "{APP-HERE}");
  CreateKey(HKEY_CLASSES_ROOT, "AppID\\{APP-HERE}");
  // A bad server outranks the application id: the whole class is reported.
  Server("{CLS-H}", "InprocServer32", missing_);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-H}", "AppId", "{APP-GONE}");

  EXPECT_EQ(Sorted({"CLSID {CLS-E} is invalid @ HKCR\\CLSID\\{CLS-E} (value: AppId)",
                    "CLSID {CLS-H} is invalid @ HKCR\\CLSID\\{CLS-H}"}),
            Sorted(Findings(checker_)));
  for (CRegistryAction* action : results_) {
    auto* com = static_cast<CComObjectAction*>(action);
    EXPECT_EQ(com->GetName() == "{CLS-E}" ? CComObjectAction::kClsidAppIdValue
                                          : CComObjectAction::kClsid,
              com->GetKind());
  }
}

TEST_F(ComObjectTest, ApplicationIdsNamedAfterProgramsFollowTheirTarget) {
  CreateKey(HKEY_CLASSES_ROOT, "AppID\\{APP-HERE}");
  SetString(HKEY_CLASSES_ROOT, "AppID\\tool.exe", "AppId", "{APP-HERE}");
  SetString(HKEY_CLASSES_ROOT, "AppID\\stale.exe", "AppId", "{APP-GONE}");
  SetString(HKEY_CLASSES_ROOT, "AppID\\{APP-BRACED}", "AppId", "{APP-GONE}");  // never tested
  SetString(HKEY_CLASSES_ROOT, "AppID\\plain.exe", "RunAs", "Interactive User");
  // A class pointing at the stale program entry fails through it.
  Server("{CLS-K}", "InprocServer32", inproc_);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-K}", "AppId", "stale.exe");

  EXPECT_EQ(Sorted({"Application ID stale.exe is invalid @ HKCR\\AppID\\stale.exe",
                    "CLSID {CLS-K} is invalid @ HKCR\\CLSID\\{CLS-K} (value: AppId)"}),
            Sorted(Findings(checker_)));
}

TEST_F(ComObjectTest, ProgIdsNamingMissingOrBrokenClassesAreReported) {
  Server("{CLS-A}", "LocalServer32", local_);
  Server("{CLS-B}", "InprocServer32", missing_);
  ProgId("Gone.App", "{CLS-NOT-THERE}");
  ProgId("Broken.App", "{CLS-B}");
  ProgId("Fine.App", "{CLS-A}");
  ProgId("Case.App", "{cls-a}");  // key names ignore case
  SetString(HKEY_CLASSES_ROOT, "Plain.App", "", "A ProgID without class");

  EXPECT_EQ(Sorted({"CLSID {CLS-B} is invalid @ HKCR\\CLSID\\{CLS-B}",
                    "ProgID Broken.App is invalid @ HKCR\\Broken.App",
                    "ProgID Gone.App is invalid @ HKCR\\Gone.App"}),
            Sorted(Findings(checker_)));
  EXPECT_FALSE(CComObjectChecker::CheckProgId(context_, "Gone.App"));
  EXPECT_TRUE(CComObjectChecker::CheckProgId(context_, "Case.App"));
  // A ProgID that disappeared since it was listed is an error too.
  EXPECT_FALSE(CComObjectChecker::CheckProgId(context_, "Vanished.App"));
}

TEST_F(ComObjectTest, ProgIdsTheUserMayNotChangeAreLeftAlone) {
  Server("{CLS-A}", "LocalServer32", local_);
  ProgId("Locked.App", "{CLS-NOT-THERE}");
  ProgId("Locked.Fine", "{CLS-A}");
  ProgId("Open.App", "{CLS-NOT-THERE}");
  SetString(HKEY_CLASSES_ROOT, "Locked.Plain", "", "A ProgID without class");
  for (const char* name : {"Locked.App", "Locked.Fine", "Locked.Plain"})
    ASSERT_TRUE(SetKeyAccess(HKEY_CLASSES_ROOT, name, "D:(A;;KRWD;;;WD)")) << name;
  HKEY probe = nullptr;
  ASSERT_EQ(ERROR_ACCESS_DENIED,
            RegOpenKeyExA(HKEY_CLASSES_ROOT, "Locked.App", 0, KEY_READ | KEY_WRITE, &probe));

  EXPECT_EQ(Lines({"ProgID Open.App is invalid @ HKCR\\Open.App"}), Findings(checker_));
  EXPECT_TRUE(CComObjectChecker::CheckProgId(context_, "Locked.App"));
  EXPECT_TRUE(CComObjectChecker::CheckProgId(context_, "Locked.Fine"));
  EXPECT_TRUE(CComObjectChecker::CheckProgId(context_, "Locked.Plain"));
  EXPECT_FALSE(CComObjectChecker::CheckProgId(context_, "Open.App"));
}

TEST_F(ComObjectTest, ExtensionsStarClsidTypeLibAndTheClassViewAreNeverProgIds) {
  for (const char* name : {".x", "*", "CLSID", "TypeLib", "Wow6432Node", "x.y"})
    ProgId(name, "{CLS-NOT-THERE}");
  // Only the ordinary name is a candidate; it shows the others would fail.
  EXPECT_EQ(Lines({"ProgID x.y is invalid @ HKCR\\x.y"}), Findings(checker_));
  EXPECT_FALSE(CComObjectChecker::CheckProgId(context_, ".x"));
}

TEST_F(ComObjectTest, TypeLibrariesAcceptATrailingResourceNumber) {
  auto win32 = [](const std::string& key, const std::string& file, DWORD type = REG_SZ) {
    SetString(HKEY_CLASSES_ROOT, "TypeLib\\" + key, "", file, type);
  };
  win32("{TL-1}\\1.0\\0\\win32", lib_ + "\\2");
  win32("{TL-2}\\1.0\\0\\win32", lib_);
  win32("{TL-3}\\1.0\\0\\win32", missing_);
  win32("{TL-3}\\2.0\\409\\win32", missing_ + "\\3");
  win32("{TL-4}\\1.0\\0\\win64", missing_);
  win32("{TL-5}\\1.0\\0\\WIN32", temp_.PathOf("nowhere\\lib.dll\\1"));
  win32("{TL-6}\\1.0\\0\\win32", "C:\\" + std::string(300, 'd') + ".dll");
  win32("{TL-7}\\1.0\\0\\win32", lib_ + std::string("\0", 1), REG_MULTI_SZ);
  win32("{TL-8}\\1.0\\0\\win32", missing_, REG_EXPAND_SZ);  // only plain and multi texts count
  SetString(HKEY_CLASSES_ROOT, "TypeLib\\{TL-9}\\1.0\\0\\win32", "Named", missing_);

  EXPECT_EQ(Sorted({"Type Library {TL-3} is invalid @ HKCR\\TypeLib\\{TL-3}",
                    "Type Library {TL-3} is invalid @ HKCR\\TypeLib\\{TL-3}",
                    "Type Library {TL-5} is invalid @ HKCR\\TypeLib\\{TL-5}",
                    "Type Library {TL-6} is invalid @ HKCR\\TypeLib\\{TL-6}"}),
            Sorted(Findings(checker_)));
}

TEST_F(ComObjectTest, MachineClassCommands) {
  Command("good.file", "helper.exe \"%1\"");
  Command("bare.file", "helper %1");
  Command("ten.file", "qqqqqq.exe");    // 10 characters: never checked
  Command("eleven.file", "qqqqqqq.exe");  // 11 characters: checked
  Command("bad.file", "\"C:\\nowhere\\app.exe\" \"%1\"");
  Command("exefile", "\"C:\\nowhere\\app.exe\" \"%1\"");
  Command("TELNET", "C:\\nowhere\\telnet.exe %1");
  Command("web.file", "C:\\nowhere\\iexplore.exe -nohome");
  Command("web2.file", "C:\\nowhere\\IEXPLORE.EXE -nohome");
  Command(".ext", "C:\\nowhere\\app.exe %1");
  CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\noverb.file\\Shell");
  SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\number.file\\Shell\\Open\\Command", "", 1);

  EXPECT_EQ(Sorted({"Classes entry bad.file reffers a bad path: \"C:\\nowhere\\app.exe\" \"%1\""
                    " @ HKLM\\Classes\\bad.file",
                    "Classes entry eleven.file reffers a bad path: qqqqqqq.exe"
                    " @ HKLM\\Classes\\eleven.file",
                    "Classes entry web2.file reffers a bad path: C:\\nowhere\\IEXPLORE.EXE -nohome"
                    " @ HKLM\\Classes\\web2.file"}),
            Sorted(Findings(checker_)));
  std::string bad = "sentinel";
  EXPECT_TRUE(CComObjectChecker::CheckClassCommand(context_, "good.file", bad));
  EXPECT_EQ("sentinel", bad);
}

TEST_F(ComObjectTest, EveryKindFixesExactlyItsEntryAndRestores) {
  // Each finding sits among neighbours that must survive its fix.
  Server("{CLS-A}", "LocalServer32", local_);
  Server("{CLS-B}", "InprocServer32", missing_);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-B}", "", "Broken class");
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-B}\\ProgID", "", "Broken.1");
  Server("{CLS-E}", "LocalServer32", local_);
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-E}", "AppId", "{APP-GONE}");
  SetString(HKEY_CLASSES_ROOT, "CLSID\\{CLS-E}", "AppIdSibling", "stays");
  ProgId("Gone.App", "{CLS-NOT-THERE}");
  SetDword(HKEY_CLASSES_ROOT, "Gone.App", "EditFlags", 0x10000);
  ProgId("Fine.App", "{CLS-A}");
  SetString(HKEY_CLASSES_ROOT, "TypeLib\\{TL-3}\\1.0\\0\\win32", "", missing_);
  SetString(HKEY_CLASSES_ROOT, "TypeLib\\{TL-3}\\1.0\\FLAGS", "", "0");
  SetString(HKEY_CLASSES_ROOT, "TypeLib\\{TL-2}\\1.0\\0\\win32", "", lib_);
  SetString(HKEY_CLASSES_ROOT, "AppID\\stale.exe", "AppId", "{APP-GONE}");
  SetString(HKEY_CLASSES_ROOT, "AppID\\tool.exe", "", "no target");
  Command("bad.file", "\"C:\\nowhere\\app.exe\" \"%1\"");
  SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\bad.file", "", "Bad file");
  Command("good.file", "helper.exe \"%1\"");

  Findings(checker_);
  struct Expected {
    int kind;
    const char* name;
    const char* gone;
    const char* backup;
  };
  const Expected expected[] = {
      {0, "{CLS-B}", "HKCR\\CLSID\\{CLS-B}", "CLSID entry {CLS-B}"},
      {1, "Gone.App", "HKCR\\Gone.App", "ProgID entry Gone.App"},
      {2, "{TL-3}", "HKCR\\TypeLib\\{TL-3}", "Type library entry {TL-3}"},
      {3, "stale.exe", "HKCR\\AppID\\stale.exe", "Application id entry stale.exe"},
      {4, "{CLS-E}", "HKCR\\CLSID\\{CLS-E}|AppId", "CLSID entry {CLS-E}"},
      {5, "bad.file", "HKLM\\SOFTWARE\\Classes\\bad.file", "Classes entry bad.file"},
  };
  ASSERT_EQ(6, results_.Count());
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    CComObjectAction* found = nullptr;
    for (CRegistryAction* action : results_) {
      auto* com = static_cast<CComObjectAction*>(action);
      if (com->GetKind() == e.kind) found = com;
    }
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(e.name, found->GetName());
    ExpectFixRemovesAndRestores(*found, e.gone, e.backup);
  }
}

}  // namespace

// A survey of the running prefix's own registry; run by hand with
// --gtest_also_run_disabled_tests to list what a real scan reports.
TEST(ComObjectRealRegistry, DISABLED_PrintFindings) {
  // The walks reached the real keys and the scan ran to its end.
  EXPECT_GT(checkertest::PrintRealScan(0x40), 0);
}
