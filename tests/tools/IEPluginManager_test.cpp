// The plug-in tool's model over sandboxed registration keys and class
// registrations: how each kind is resolved to a name and file, the list
// lines, and that removal takes only the registration itself.

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "engine/ScanCoordinator.h"
#include "tools/IEPluginManager.h"

using namespace RegCheck;
using namespace testsupport;
using toolstest::ToolTest;

namespace {

const HKEY kHKLM = HKEY_LOCAL_MACHINE;
const HKEY kHKCR = HKEY_CLASSES_ROOT;

const char kClassA[] = "{AAAAAAAA-0000-0000-0000-000000000001}";
const char kClassB[] = "{BBBBBBBB-0000-0000-0000-000000000002}";
const char kClassC[] = "{CCCCCCCC-0000-0000-0000-000000000003}";

std::string ClassKey(const std::string& classId) { return "CLSID\\" + classId; }
std::string Bho(const std::string& name) { return std::string(kBHOKeyPath) + "\\" + name; }
std::string Extension(const std::string& name) {
  return std::string(kExtensionsKeyPath) + "\\" + name;
}

void RegisterCom(const std::string& classId, const std::string& name, const std::string& inproc) {
  SetString(kHKCR, ClassKey(classId), "", name);
  SetString(kHKCR, ClassKey(classId) + "\\InprocServer32", "", inproc);
}

class IEPluginManagerTest : public ToolTest {
 protected:
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (const PluginEntry& entry : manager_.GetEntries()) lines.push_back(entry.DisplayText());
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  const PluginEntry* Find(const std::string& registryName) {
    for (const PluginEntry& entry : manager_.GetEntries())
      if (entry.RegistryName() == registryName) return &entry;
    return nullptr;
  }

  CIEPluginManager manager_;
};

TEST_F(IEPluginManagerTest, HelperObjectsAndToolbarsResolveThroughTheirClass) {
  RegisterCom(kClassA, "Shop Helper", "c:\\shop\\helper.dll");
  CreateKey(kHKLM, Bho(kClassA));
  // A file but no name: the line falls back to the file.
  SetString(kHKCR, ClassKey(kClassB) + "\\InprocServer32", "", "c:\\b\\nameless.dll");
  CreateKey(kHKLM, Bho(kClassB));
  // No class at all: still listed, as the bare suffix.
  CreateKey(kHKLM, Bho(kClassC));
  // Toolbars are values whose data (often binary) is never read; subkeys of
  // the Toolbar key are no toolbars.
  SetRaw(kHKLM, kToolbarKeyPath, kClassA, REG_BINARY, "\1\2\3", 3);
  SetString(kHKLM, kToolbarKeyPath, kClassC, "ignored");
  CreateKey(kHKLM, std::string(kToolbarKeyPath) + "\\" + kClassB);

  EXPECT_EQ(1, manager_.Refresh());
  EXPECT_EQ((std::vector<std::string>{" (BHO)", " (Toolbar)", "Shop Helper (BHO)",
                                      "Shop Helper (Toolbar)", "c:\\b\\nameless.dll (BHO)"}),
            Lines());
  std::vector<int> kinds;
  for (const PluginEntry& entry : manager_.GetEntries()) kinds.push_back(entry.Kind());
  EXPECT_EQ((std::vector<int>{kPluginBHO, kPluginBHO, kPluginBHO, kPluginToolbar, kPluginToolbar}),
            kinds);
  EXPECT_EQ("c:\\shop\\helper.dll", Find(kClassA)->ServerFile());
}

TEST_F(IEPluginManagerTest, ClassTextsOfTheBufferSizeOrMoreCountAsMissing) {
  SetString(kHKCR, ClassKey(kClassA), "", std::string(259, 'n'));
  SetString(kHKCR, ClassKey(kClassA) + "\\InprocServer32", "", std::string(260, 'f'));
  CreateKey(kHKLM, Bho(kClassA));
  // No terminator: the name ends with the data.
  SetRaw(kHKCR, ClassKey(kClassB), "", REG_SZ, "Raw", 3);
  CreateKey(kHKLM, Bho(kClassB));

  manager_.Refresh();
  ASSERT_EQ(2u, manager_.GetEntries().size());
  EXPECT_EQ(std::string(259, 'n'), Find(kClassA)->DisplayName());
  EXPECT_EQ("", Find(kClassA)->ServerFile());
  EXPECT_EQ("Raw (BHO)", Find(kClassB)->DisplayText());
}

TEST_F(IEPluginManagerTest, ExtensionNameAndServerFile) {
  SetString(kHKLM, Extension("{E1}"), "ButtonText", "Blog This");
  SetString(kHKLM, Extension("{E1}"), "MenuText", "Blog menu");
  SetString(kHKLM, Extension("{E2}"), "MenuText", "Research");
  // Exec wins over a resolvable class.
  RegisterCom(kClassA, "Class A", "c:\\a\\inproc.dll");
  SetString(kHKLM, Extension("{E1}"), "Exec", "c:\\e1\\tool.exe");
  SetString(kHKLM, Extension("{E1}"), "ClsidExtension", kClassA);
  // The in-process server before the local one.
  SetString(kHKCR, ClassKey(kClassB) + "\\LocalServer32", "", "c:\\b\\local.exe");
  SetString(kHKCR, ClassKey(kClassB) + "\\InprocServer32", "", "c:\\b\\inproc.dll");
  SetString(kHKLM, Extension("{E2}"), "ClsidExtension", kClassB);
  // Only a local server; the class's own name is not the extension's.
  SetString(kHKCR, ClassKey(kClassC), "", "Class C name");
  SetString(kHKCR, ClassKey(kClassC) + "\\LocalServer32", "", "c:\\c\\local.exe");
  SetString(kHKLM, Extension("{E3}"), "ClsidExtension", kClassC);

  manager_.Refresh();
  EXPECT_EQ((std::vector<std::string>{"Blog This (Extension)", "Research (Extension)",
                                      "c:\\c\\local.exe (Extension)"}),
            Lines());
  EXPECT_EQ("c:\\e1\\tool.exe", Find("{E1}")->ServerFile());
  EXPECT_EQ("c:\\b\\inproc.dll", Find("{E2}")->ServerFile());
  EXPECT_EQ(kPluginExtension, Find("{E3}")->Kind());
}

TEST_F(IEPluginManagerTest, ExtensionWithoutFileIsUnknown) {
  SetString(kHKLM, Extension("{E1}"), "ClsidExtension", kClassA);  // class not registered
  SetString(kHKLM, Extension("{E2}"), "ClsidExtension", "");
  SetString(kHKLM, Extension("{E3}"), "ButtonText", "Named");
  // An in-process key without a default value: no fall-back to the local
  // server then.
  CreateKey(kHKCR, ClassKey(kClassB) + "\\InprocServer32");
  SetString(kHKCR, ClassKey(kClassB) + "\\LocalServer32", "", "c:\\b\\local.exe");
  SetString(kHKLM, Extension("{E4}"), "ClsidExtension", kClassB);

  manager_.Refresh();
  EXPECT_EQ((std::vector<std::string>{"<Unknown> (Extension)", "<Unknown> (Extension)",
                                      "<Unknown> (Extension)", "Named (Extension)"}),
            Lines());
}

TEST_F(IEPluginManagerTest, KindsComeInWalkOrderAndEachKeyIsReadAlone) {
  SetString(kHKLM, kToolbarKeyPath, kClassC, "");
  SetString(kHKLM, Extension("{E1}"), "Exec", "c:\\e.exe");
  CreateKey(kHKLM, Bho(kClassA));
  manager_.Refresh();
  std::vector<int> kinds;
  for (const PluginEntry& entry : manager_.GetEntries()) kinds.push_back(entry.Kind());
  EXPECT_EQ((std::vector<int>{kPluginBHO, kPluginExtension, kPluginToolbar}), kinds);

  // A scan's pending cancel is not the tool's; its own empties the list.
  GetScanCoordinator().Cancel();
  manager_.Refresh();
  GetScanCoordinator().ClearCancel();
  EXPECT_EQ(3u, manager_.GetEntries().size());
  manager_.Cancel();
  manager_.Refresh();
  EXPECT_TRUE(manager_.GetEntries().empty());
  manager_.ClearCancel();

  ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(kHKLM, kBHOKeyPath));
  ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(kHKLM, kExtensionsKeyPath));
  manager_.Refresh();
  ASSERT_EQ(1u, manager_.GetEntries().size());
  EXPECT_EQ(kPluginToolbar, manager_.GetEntries().front().Kind());
}

TEST_F(IEPluginManagerTest, ToolbarRemovalDeletesOnlyItsValueAndLeavesTheClass) {
  RegisterCom(kClassA, "Search Bar", "c:\\bar\\bar.dll");
  SetString(kHKLM, kToolbarKeyPath, kClassA, "");
  SetString(kHKLM, kToolbarKeyPath, kClassB, "");
  manager_.Refresh();

  EXPECT_EQ(1, Find(kClassA)->Remove());
  EXPECT_FALSE(ValueExists(kHKLM, kToolbarKeyPath, kClassA));
  EXPECT_TRUE(ValueExists(kHKLM, kToolbarKeyPath, kClassB));
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(kHKCR, ClassKey(kClassA) + "\\InprocServer32", "", type, data));
  EXPECT_EQ(std::string("c:\\bar\\bar.dll", 15), data);
  ASSERT_TRUE(ReadRaw(kHKCR, ClassKey(kClassA), "", type, data));
  EXPECT_EQ(std::string("Search Bar", 11), data);
  EXPECT_EQ(std::vector<std::string>{std::string("IE toolbar entry ") + kClassA}, Descriptions());

  ASSERT_EQ(1, Session().At(0)->Restore());
  EXPECT_TRUE(ValueExists(kHKLM, kToolbarKeyPath, kClassA));
}

TEST_F(IEPluginManagerTest, HelperObjectAndExtensionRemovalDeleteTheirSubkeyOnly) {
  RegisterCom(kClassA, "Helper", "c:\\h.dll");
  SetString(kHKLM, Bho(kClassA), "NoExplorer", "1");
  CreateKey(kHKLM, Bho(kClassB));
  SetString(kHKLM, Extension("{E1}"), "Exec", "c:\\e1.exe");
  SetString(kHKLM, Extension("{E2}"), "Exec", "c:\\e2.exe");
  manager_.Refresh();

  EXPECT_EQ(1, Find(kClassA)->Remove());
  EXPECT_EQ(1, Find("{E1}")->Remove());
  EXPECT_FALSE(KeyExists(kHKLM, Bho(kClassA)));
  EXPECT_TRUE(KeyExists(kHKLM, Bho(kClassB)));
  EXPECT_FALSE(KeyExists(kHKLM, Extension("{E1}")));
  EXPECT_TRUE(KeyExists(kHKLM, Extension("{E2}")));
  EXPECT_TRUE(KeyExists(kHKCR, ClassKey(kClassA) + "\\InprocServer32"));
  EXPECT_EQ((std::vector<std::string>{std::string("Browser Helper Object entry ") + kClassA,
                                      "IE extension entry {E1}"}),
            Descriptions());

  ASSERT_EQ(1, Session().At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(kHKLM, Bho(kClassA), "NoExplorer", type, data));
  EXPECT_EQ(std::string("1", 2), data);

  // An unknown kind, or a registration without a name, removes nothing.
  EXPECT_EQ(0, PluginEntry(static_cast<PluginKind>(3), "x", kClassB, "f").Remove());
  EXPECT_EQ(0, PluginEntry(kPluginBHO, "x", "", "f").Remove());
  EXPECT_EQ(0, PluginEntry(kPluginExtension, "x", "", "f").Remove());
  EXPECT_TRUE(KeyExists(kHKLM, Bho(kClassB)));
  EXPECT_TRUE(KeyExists(kHKLM, Extension("{E2}")));
  EXPECT_EQ(2, Session().Count());
}

}  // namespace
