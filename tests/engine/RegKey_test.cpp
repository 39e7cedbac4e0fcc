// The typed queries and setters of RegKey over the real registry API.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/RegKey.h"
#include "support/RegistrySandbox.h"

using namespace RegCheck;
using namespace testsupport;

namespace {

class RegKeyTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    ASSERT_EQ(ERROR_SUCCESS, key_.Create(HKEY_CURRENT_USER, "Software\\Typed"));
  }
  RegKey key_;
};

TEST_F(RegKeyTest, OpenFailureKeepsThePreviousKey) {
  ASSERT_EQ(ERROR_SUCCESS, key_.SetDWORDValue("d", 7));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key_.Open(HKEY_CURRENT_USER, "Software\\Missing"));
  ASSERT_TRUE(key_.Valid());
  DWORD value = 0;
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryDWORDValue("d", value));
  EXPECT_EQ(7u, value);
}

TEST_F(RegKeyTest, CreateReportsDispositionAndMakesParents) {
  RegKey deep;
  DWORD disposition = 0xdeadbeef;
  ASSERT_EQ(ERROR_SUCCESS, deep.Create(HKEY_CURRENT_USER, "Software\\A\\B\\C", nullptr, 0,
                                       kReadWriteAccess, nullptr, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
  RegKey again;
  ASSERT_EQ(ERROR_SUCCESS, again.Create(HKEY_CURRENT_USER, "Software\\A\\B\\C", nullptr, 0,
                                        kReadWriteAccess, nullptr, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\A\\B"));
}

TEST_F(RegKeyTest, CloseOfAnEmptyKeySucceeds) {
  RegKey empty;
  EXPECT_EQ(ERROR_SUCCESS, empty.Close());
  EXPECT_EQ(ERROR_SUCCESS, key_.Close());
  EXPECT_FALSE(key_.Valid());
}

TEST_F(RegKeyTest, MovingTransfersTheHandle) {
  RegKey moved(std::move(key_));
  EXPECT_FALSE(key_.Valid());
  EXPECT_TRUE(moved.Valid());
  EXPECT_EQ(ERROR_SUCCESS, moved.SetDWORDValue("m", 1));
}

TEST_F(RegKeyTest, DwordQueryChecksTypeAndSize) {
  ASSERT_EQ(ERROR_SUCCESS, key_.SetDWORDValue("d", 0x12345678));
  ASSERT_EQ(ERROR_SUCCESS, key_.SetStringValue("s", "text"));
  SetRaw(HKEY_CURRENT_USER, "Software\\Typed", "short", REG_DWORD, "\x01\x02", 2);
  SetRaw(HKEY_CURRENT_USER, "Software\\Typed", "big", REG_BINARY, "12345678", 8);

  DWORD value = 0;
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryDWORDValue("d", value));
  EXPECT_EQ(0x12345678u, value);

  value = 0xdeadbeef;
  EXPECT_EQ(ERROR_INVALID_DATA, key_.QueryDWORDValue("s", value));
  EXPECT_EQ(ERROR_INVALID_DATA, key_.QueryDWORDValue("short", value));
  EXPECT_EQ(ERROR_INVALID_DATA, key_.QueryDWORDValue("big", value));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key_.QueryDWORDValue("none", value));
  EXPECT_EQ(0xdeadbeefu, value);
}

TEST_F(RegKeyTest, StringQueryAcceptsOnlyTerminatedStrings) {
  ASSERT_EQ(ERROR_SUCCESS, key_.SetStringValue("sz", "hello"));
  ASSERT_EQ(ERROR_SUCCESS, key_.SetStringValue("expand", "%TEMP%\\x", REG_EXPAND_SZ));
  ASSERT_EQ(ERROR_SUCCESS, key_.SetDWORDValue("dword", 5));
  SetRaw(HKEY_CURRENT_USER, "Software\\Typed", "empty", REG_SZ, "", 0);
  SetRaw(HKEY_CURRENT_USER, "Software\\Typed", "open", REG_SZ, "abcde", 5);
  SetRaw(HKEY_CURRENT_USER, "Software\\Typed", "multi", REG_MULTI_SZ, "a\0b\0\0", 5);

  char buffer[32];
  DWORD size = sizeof(buffer);
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryStringValue("sz", buffer, size));
  EXPECT_STREQ("hello", buffer);
  EXPECT_EQ(6u, size);

  size = sizeof(buffer);
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryStringValue("expand", buffer, size));
  EXPECT_STREQ("%TEMP%\\x", buffer);  // not expanded

  memset(buffer, 0xbd, sizeof(buffer));
  size = sizeof(buffer);
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryStringValue("empty", buffer, size));
  EXPECT_STREQ("", buffer);
  EXPECT_EQ(1u, size);

  // Data stored without a terminator is refused, unless the registry's own
  // ANSI conversion terminates it (Wine does): never an unterminated result.
  memset(buffer, 0xbd, sizeof(buffer));
  size = sizeof(buffer);
  LONG rc = key_.QueryStringValue("open", buffer, size);
  if (rc == ERROR_SUCCESS) {
    EXPECT_EQ(6u, size);
    EXPECT_STREQ("abcde", buffer);
  } else {
    EXPECT_EQ(ERROR_INVALID_DATA, rc);
    EXPECT_EQ(0u, size);
  }

  for (const char* refused : {"dword", "multi"}) {
    size = sizeof(buffer);
    EXPECT_EQ(ERROR_INVALID_DATA, key_.QueryStringValue(refused, buffer, size)) << refused;
    EXPECT_EQ(0u, size) << refused;
  }
  size = sizeof(buffer);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key_.QueryStringValue("none", buffer, size));
  EXPECT_EQ(0u, size);
}

TEST_F(RegKeyTest, StringQueryNeverWritesPastTheGivenSize) {
  ASSERT_EQ(ERROR_SUCCESS, key_.SetStringValue("long", "0123456789"));
  char buffer[16];
  memset(buffer, 0xbd, sizeof(buffer));
  DWORD size = 4;
  EXPECT_NE(ERROR_SUCCESS, key_.QueryStringValue("long", buffer, size));
  EXPECT_EQ(0u, size);
  for (size_t i = 4; i < sizeof(buffer); ++i) EXPECT_EQ('\xbd', buffer[i]) << i;

  size = 0;
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryStringValue("long", nullptr, size));
  EXPECT_EQ(11u, size);
}

TEST_F(RegKeyTest, BinaryAndUntypedQueries) {
  const unsigned char bytes[] = {0, 1, 2, 0xff};
  ASSERT_EQ(ERROR_SUCCESS, key_.SetBinaryValue("bin", bytes, sizeof(bytes)));
  ASSERT_EQ(ERROR_SUCCESS, key_.SetStringValue("str", "x"));

  unsigned char out[8];
  memset(out, 0xbd, sizeof(out));
  DWORD size = sizeof(out);
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryBinaryValue("bin", out, size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(0, memcmp(bytes, out, 4));
  EXPECT_EQ(0xbd, out[4]);

  size = sizeof(out);
  EXPECT_EQ(ERROR_INVALID_DATA, key_.QueryBinaryValue("str", out, size));

  DWORD type = 0;
  size = 0;
  EXPECT_EQ(ERROR_SUCCESS, key_.QueryValue("str", &type, nullptr, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(2u, size);
}

TEST_F(RegKeyTest, NullTextWritesNothing) {
  EXPECT_EQ(ERROR_INVALID_DATA, key_.SetStringValue("n", nullptr));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Software\\Typed", "n"));
}

TEST_F(RegKeyTest, SetStringWritesTheTerminator) {
  ASSERT_EQ(ERROR_SUCCESS, key_.SetStringValue("t", "abc"));
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, "Software\\Typed", "t", type, data));
  EXPECT_EQ(std::string("abc\0", 4), data);
  ASSERT_EQ(ERROR_SUCCESS, key_.DeleteValue("t"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Software\\Typed", "t"));
}

TEST_F(RegKeyTest, EnumKeyListsSubkeysThenEnds) {
  CreateKey(HKEY_CURRENT_USER, "Software\\Typed\\one");
  CreateKey(HKEY_CURRENT_USER, "Software\\Typed\\two");
  char name[64];
  DWORD size = sizeof(name);
  ASSERT_EQ(ERROR_SUCCESS, key_.EnumKey(0, name, size));
  std::string first(name, size);
  size = sizeof(name);
  ASSERT_EQ(ERROR_SUCCESS, key_.EnumKey(1, name, size));
  std::string second(name, size);
  EXPECT_EQ("one", first);
  EXPECT_EQ("two", second);
  size = sizeof(name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, key_.EnumKey(2, name, size));
}

}  // namespace
