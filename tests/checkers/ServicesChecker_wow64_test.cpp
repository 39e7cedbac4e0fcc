// The services scan reports dead services on every platform: the file probe
// sees the native system folders from a 32-bit process too.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "checkers/PathRules.h"
#include "checkers/ServicesChecker.h"
#include "engine/RegKey.h"
#include "support/EnvOverride.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";

class ServicesScanTest : public SandboxTest {
 protected:
  CScanContext context_;
};

TEST_F(ServicesScanTest, ReportsDeadServicesOnEveryPlatform) {
  TempFolder temp;
  temp.MakeFile("win\\system32\\drivers\\real.sys");
  EnvOverride root("SYSTEMROOT", temp.PathOf("win"));
  EnvOverride path("PATH", temp.PathOf("win"));
  const std::string base = std::string(kServices) + "\\";
  SetString(HKEY_LOCAL_MACHINE, base + "Alive", "ImagePath", "system32\\drivers\\real.sys");
  SetString(HKEY_LOCAL_MACHINE, base + "Dead", "ImagePath", "\\SystemRoot\\system32\\drivers\\x.sys");
  SetString(HKEY_LOCAL_MACHINE, base + "usbstor", "ImagePath", "system32\\drivers\\x.sys");
  SetString(HKEY_LOCAL_MACHINE, base + "USBSTOR2", "ImagePath", "system32\\drivers\\x.sys");
  SetDword(HKEY_LOCAL_MACHINE, base + "NoImage", "Type", 1);
  // Only direct subkeys are services.
  SetString(HKEY_LOCAL_MACHINE, base + "Alive\\Deeper", "ImagePath", "gone.sys");

  // The fixture is judged the same way on either platform.
  RegKey services;
  ASSERT_EQ(ERROR_SUCCESS, services.Open(HKEY_LOCAL_MACHINE, kServices, kReadAccess));
  ASSERT_FALSE(CServicesChecker::CheckServiceKey(context_, services.Handle(), "Dead"));

  CActionList results;
  CServicesChecker().Scan(context_, results);
  std::vector<std::string> names;
  for (CRegistryAction* action : results)
    names.push_back(static_cast<CServiceAction*>(action)->GetServiceName());
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"Dead", "usbstor"}), names);
}

}  // namespace
