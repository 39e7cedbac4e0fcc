// IsRunningUnderWow64 and IsWindows64 answer what the process and its
// Windows really are: the x86 build runs this in the 64-bit prefix (WOW64)
// and in the 32-bit one, the x64 build in the 64-bit prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include "checkers/PathRules.h"
#include "support/TestPlatform.h"

TEST(Wow64, AnswerMatchesTheProcessEnvironment) {
  // Windows sets PROCESSOR_ARCHITEW6432 only for WOW64 processes.
  char arch[32];
  bool wow64 = GetEnvironmentVariableA("PROCESSOR_ARCHITEW6432", arch, sizeof(arch)) > 0;
  EXPECT_EQ(wow64, RegCheck::IsRunningUnderWow64());
  EXPECT_EQ(RegCheck::IsRunningUnderWow64(), RegCheck::IsRunningUnderWow64());
  EXPECT_EQ(testsupport::ExpectWow64(), RegCheck::IsRunningUnderWow64());
  EXPECT_EQ(testsupport::PrefixIs64Bit(), RegCheck::IsWindows64());
}
