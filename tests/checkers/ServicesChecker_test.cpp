// One service entry: excluded names, the "ImagePath" rules and its forms
// (native, \SystemRoot\, relative to the Windows folder, bare names on PATH),
// and the key deletion of the fix.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "backup/BackupManager.h"
#include "backup/CleaningLog.h"
#include "backup/RegistryOperation.h"
#include "checkers/ServicesChecker.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"
#include "support/EnvOverride.h"
#include "support/BackupSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";

class ServicesCheckerTest : public BackupSandboxTest {
 protected:
  void SetUp() override {
    BackupSandboxTest::SetUp();
    windows_ = temp_.MakeDir("win");
    temp_.MakeFile("win\\system32\\drivers\\real.sys");
    temp_.MakeFile("win\\system32\\svchost.exe");
    temp_.MakeFile("Program Files\\Vendor\\agent.exe");
    systemRoot_.reset(new EnvOverride("SYSTEMROOT", windows_));
    // The Windows folder is on PATH, as on a normal system, with the
    // trailing backslash some installers leave.
    path_.reset(new EnvOverride("PATH", windows_ + "\\system32;" + windows_ + "\\"));
    CreateKey(HKEY_LOCAL_MACHINE, kServices);
  }

  void Image(const std::string& service, const std::string& imagePath, DWORD type = REG_EXPAND_SZ) {
    SetString(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + service, "ImagePath", imagePath,
              type);
  }

  bool Check(const std::string& service) {
    RegKey services;
    EXPECT_EQ(ERROR_SUCCESS, services.Open(HKEY_LOCAL_MACHINE, kServices, kReadAccess));
    return CServicesChecker::CheckServiceKey(context_, services.Handle(), service);
  }

  std::string windows_;
  std::unique_ptr<EnvOverride> systemRoot_;
  std::unique_ptr<EnvOverride> path_;
};

TEST_F(ServicesCheckerTest, ExcludedNamesMatchAsCaseSensitiveSubstrings) {
  for (const char* name : {"USBSTOR", "USBSTOR2", "xIpInIpx", "blbdrive", "NwlnkFlt", "NwlnkFwd"}) {
    Image(name, "\\SystemRoot\\system32\\drivers\\gone.sys");
    EXPECT_TRUE(Check(name)) << name;
  }
  // Excluded even when there is no key to open.
  EXPECT_TRUE(Check("USBSTOR_absent"));
  for (const char* name : {"usbstor", "UsbStor", "ipinip"}) {
    Image(name, "\\SystemRoot\\system32\\drivers\\gone.sys");
    EXPECT_FALSE(Check(name)) << name;
  }
}

TEST_F(ServicesCheckerTest, ImagePathFormsAreResolved) {
  Image("SysRoot", "\\SystemRoot\\System32\\drivers\\real.sys");
  Image("Native", "\\??\\" + windows_ + "\\system32\\drivers\\real.sys");
  // Relative to the Windows folder, found through PATH.
  Image("Relative", "system32\\drivers\\real.sys");
  Image("BareWithArgs", "svchost -k netsvcs", REG_SZ);
  Image("Quoted", "\"" + temp_.PathOf("Program Files\\Vendor\\agent.exe") + "\" /service");
  Image("Unquoted", temp_.PathOf("Program Files\\Vendor\\agent.exe") + " /service");
  Image("Variable", "%SystemRoot%\\system32\\svchost.exe -k LocalService");
  for (const char* name :
       {"SysRoot", "Native", "Relative", "BareWithArgs", "Quoted", "Unquoted", "Variable"})
    EXPECT_TRUE(Check(name)) << name;

  Image("GoneSysRoot", "\\SystemRoot\\System32\\drivers\\gone.sys");
  Image("GoneRelative", "system32\\drivers\\gone.sys");
  Image("GoneBare", "missingsvc -k netsvcs");
  Image("Unclosed", "\"" + temp_.PathOf("Program Files\\Vendor\\agent.exe /service"));
  for (const char* name : {"GoneSysRoot", "GoneRelative", "GoneBare", "Unclosed"})
    EXPECT_FALSE(Check(name)) << name;
}

TEST_F(ServicesCheckerTest, MissingOrUnreadableImagePathIsValidButANonStringIsNot) {
  SetDword(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\NoImage", "Start", 3);
  CreateKey(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\EmptyKey");
  Image("TooLong", "\\SystemRoot\\gone" + std::string(300, 'x') + ".sys");
  EXPECT_TRUE(Check("NoImage"));
  EXPECT_TRUE(Check("EmptyKey"));
  EXPECT_TRUE(Check("TooLong"));

  SetDword(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\Dword", "ImagePath", 1);
  const char multi[] = "svchost.exe\0";
  SetRaw(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\Multi", "ImagePath", REG_MULTI_SZ, multi,
         sizeof(multi));
  EXPECT_FALSE(Check("Dword"));
  EXPECT_FALSE(Check("Multi"));
  // A service key that cannot be opened is an error.
  EXPECT_FALSE(Check("NoSuchService"));
}

TEST_F(ServicesCheckerTest, ActionTexts) {
  CServiceAction action("Gone Driver");
  EXPECT_EQ(kCatServices, action.GetCategory());
  std::string text = "sentinel";
  EXPECT_EQ(1, action.GetDescription(text));
  EXPECT_EQ("Service Gone Driver is invalid", text);
  EXPECT_EQ(1, action.GetLocation(text));
  EXPECT_EQ("HKLM\\SYSTEM\\CurrentControlSet\\Services\\Gone Driver", text);
}

TEST_F(ServicesCheckerTest, FixDeletesTheWholeServiceKeyOnlyAndRestoresIt) {
  const std::string gone = std::string(kServices) + "\\Gone";
  Image("Gone", "\\SystemRoot\\system32\\drivers\\gone.sys");
  SetDword(HKEY_LOCAL_MACHINE, gone + "\\Parameters", "Level", 5);
  Image("Gone2", "\\SystemRoot\\system32\\drivers\\gone.sys");

  CServiceAction action("Gone");
  EXPECT_EQ(1, action.Fix());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, gone));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, gone + "2"));

  CBackupSession& session = manager_->GetCurrentSession();
  ASSERT_EQ(1, session.Count());
  EXPECT_EQ("Service entry Gone", session.At(0)->GetDescription());
  EXPECT_EQ(1, session.At(0)->Restore());
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, gone + "\\Parameters", "Level", type, data));
  EXPECT_EQ(std::string("\x05\0\0\0", 4), data);
  ASSERT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, gone, "ImagePath", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);

  EXPECT_EQ(0, CServiceAction("NoSuchService").Fix());
  EXPECT_EQ(1, session.Count());
}

}  // namespace
