#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Profile.h"
#include "support/RegistrySandbox.h"

namespace {

using testsupport::SandboxTest;

class ProfileTest : public SandboxTest {
 protected:
  fw::CProfile profile_{"TestVendor", "TestApp"};
};

TEST_F(ProfileTest, PathIsBuiltFromKeyAppAndSection) {
  EXPECT_EQ(profile_.SectionPath("Settings"), "Software\\TestVendor\\TestApp\\Settings");
  fw::CProfile unnamed;
  EXPECT_EQ(unnamed.SectionPath("Settings"), "");
  EXPECT_EQ(unnamed.GetInt("Settings", "X", 17), 17u);
  EXPECT_NE(unnamed.WriteInt("Settings", "X", 1), ERROR_SUCCESS);
}

TEST_F(ProfileTest, MissingValuesGiveTheDefault) {
  EXPECT_EQ(profile_.GetInt("Settings", "ShowSplash", 1), 1u);
  EXPECT_EQ(profile_.GetString("Settings", "Name", "fallback"), "fallback");
}

TEST_F(ProfileTest, IntegersAreWrittenAsDwords) {
  ASSERT_EQ(profile_.WriteInt("Settings", "PromptFix", 0), ERROR_SUCCESS);
  ASSERT_EQ(profile_.WriteInt("Settings", "regHistory", 4242), ERROR_SUCCESS);
  EXPECT_EQ(profile_.GetInt("Settings", "PromptFix", 1), 0u);
  EXPECT_EQ(profile_.GetInt("Settings", "regHistory", 0), 4242u);
  DWORD type = 0;
  std::string raw;
  ASSERT_TRUE(testsupport::ReadRaw(HKEY_CURRENT_USER, "Software\\TestVendor\\TestApp\\Settings",
                                   "regHistory", type, raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(raw.size(), 4u);
  EXPECT_EQ(*reinterpret_cast<const DWORD*>(raw.data()), 4242u);
}

TEST_F(ProfileTest, ValueOfAnotherTypeGivesTheDefault) {
  testsupport::SetString(HKEY_CURRENT_USER, "Software\\TestVendor\\TestApp\\Settings", "UseSound",
                         "1");
  EXPECT_EQ(profile_.GetInt("Settings", "UseSound", 7), 7u);
  testsupport::SetDword(HKEY_CURRENT_USER, "Software\\TestVendor\\TestApp\\Settings", "Text", 3);
  EXPECT_EQ(profile_.GetString("Settings", "Text", "d"), "d");
}

TEST_F(ProfileTest, StringWithoutTerminatorIsReadSafely) {
  testsupport::SetRaw(HKEY_CURRENT_USER, "Software\\TestVendor\\TestApp\\Settings", "Raw", REG_SZ,
                      "abc", 3);
  EXPECT_EQ(profile_.GetString("Settings", "Raw", ""), "abc");
  ASSERT_EQ(profile_.WriteString("Settings", "Name", "Varnholt"), ERROR_SUCCESS);
  EXPECT_EQ(profile_.GetString("Settings", "Name", ""), "Varnholt");
}

}  // namespace
