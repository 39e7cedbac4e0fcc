// IsRunningUnderWow64 answers what the process really is: this test runs in
// the 64-bit prefix (WOW64) and in the 32-bit one (plain 32-bit Windows).

#include <windows.h>

#include <gtest/gtest.h>

#include "checkers/PathRules.h"

TEST(Wow64, AnswerMatchesTheProcessEnvironment) {
  // Windows sets PROCESSOR_ARCHITEW6432 only for WOW64 processes.
  char arch[32];
  bool wow64 = GetEnvironmentVariableA("PROCESSOR_ARCHITEW6432", arch, sizeof(arch)) > 0;
  EXPECT_EQ(wow64, RegCheck::IsRunningUnderWow64());
  EXPECT_EQ(RegCheck::IsRunningUnderWow64(), RegCheck::IsRunningUnderWow64());
  const char* prefix = getenv("WINEPREFIX");
  if (prefix && strstr(prefix, "prefix32")) {
    EXPECT_FALSE(RegCheck::IsRunningUnderWow64());
  }
  if (prefix && strstr(prefix, "prefix64")) {
    EXPECT_TRUE(RegCheck::IsRunningUnderWow64());
  }
}
