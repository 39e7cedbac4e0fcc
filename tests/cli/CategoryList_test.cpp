// Category names and bits on the console command line.

#include <gtest/gtest.h>

#include "app/cli/CategoryList.h"
#include "engine/ScanCategories.h"

using namespace RegCheck;

TEST(CategoryList, NamesAreCaseInsensitiveAndCombine) {
  int mask = -1;
  std::string error;
  ASSERT_TRUE(ParseCategoryList("AppPath,shareddll,HISTORY", mask, error)) << error;
  EXPECT_EQ(0x1 | 0x2 | 0x200, mask);
  ASSERT_TRUE(ParseCategoryList("all", mask, error));
  EXPECT_EQ(kAllCategories, mask);
}

TEST(CategoryList, BitsInHexOrDecimal) {
  int mask = 0;
  std::string error;
  ASSERT_TRUE(ParseCategoryList("0x40,1,0x200", mask, error)) << error;
  EXPECT_EQ(0x241, mask);
  ASSERT_TRUE(ParseCategoryList("0x3FF", mask, error));
  EXPECT_EQ(kAllCategories, mask);
}

TEST(CategoryList, BadWordsAreRefusedWithoutTouchingTheMask) {
  for (const char* bad : {"", "AppPath,", ",AppPath", "Bogus", "0x400", "0", "regAppPath", "12abc",
                          "-1", "AppPath,,SharedDll"}) {
    int mask = 0x55;
    std::string error;
    EXPECT_FALSE(ParseCategoryList(bad, mask, error)) << bad;
    EXPECT_EQ(0x55, mask) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(CategoryList, ShortNamesAndLabels) {
  EXPECT_EQ("ComObject", CategoryShortName(0x40));
  EXPECT_EQ("History", CategoryShortName(0x200));
  EXPECT_EQ("", CategoryShortName(0x3));
  EXPECT_EQ("Application & Installer paths entries",
            DisplayLabel("Application && Installer paths entries"));
  EXPECT_EQ("A & B && C", DisplayLabel("A && B &&&& C"));
}
