// Limits of the byte codec that no registry fixture reaches: nesting depth,
// claimed counts and sizes far beyond the input.

#include <gtest/gtest.h>

#include "BackupTestFiles.h"
#include "backup/SessionCodec.h"
#include "backup/SnapshotCodec.h"

using namespace RegCheck;
using namespace backuptest;

namespace {

std::string Nested(int depth) {
  std::string open, close;
  for (int i = 0; i < depth; ++i) {
    open += U32(1) + Counted("k");
    close += U32(0);
  }
  return Counted("HKCU\\S") + open + U32(0) + U32(0) + close;
}

bool Decodes(const std::string& bytes) {
  Snapshot s;
  return DecodeSnapshot(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), s);
}

bool DecodesPayload(const std::string& bytes) {
  SessionPayload p;
  return DecodePayload(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), p);
}

TEST(SnapshotCodec, NestingStopsAtTheRegistryDepth) {
  EXPECT_TRUE(Decodes(Nested(kMaxSnapshotDepth)));
  EXPECT_FALSE(Decodes(Nested(kMaxSnapshotDepth + 1)));
  // Deep enough to overflow a recursive reader without the limit.
  EXPECT_FALSE(Decodes(Nested(200000)));
}

TEST(SnapshotCodec, ClaimedCountsBeyondTheInputAreRefused) {
  EXPECT_FALSE(Decodes(Counted("HKCU\\S") + U32(0xffffffffu) + U32(0)));
  EXPECT_FALSE(Decodes(Counted("HKCU\\S") + U32(0) + U32(0x10000000u)));
  EXPECT_FALSE(Decodes(U32(0xfffffff0u) + "HKCU"));
}

TEST(SnapshotCodec, EncodeRefusesWhatTheReaderWouldRefuse) {
  Snapshot s;
  s.path = "HKCU\\S";
  s.root.subkeys.resize(1);
  Bytes out(5, 0xbd);
  EXPECT_FALSE(EncodeSnapshot(s, out));  // empty subkey name
  EXPECT_TRUE(out.empty());
  s.root.subkeys[0].name = "k";
  ASSERT_TRUE(EncodeSnapshot(s, out));
  EXPECT_EQ(EncodedSnapshotSize(s), out.size());
}

TEST(SessionCodec, ClaimedOperationCountBeyondTheInputIsRefused) {
  EXPECT_TRUE(DecodesPayload(Time(2024, 1, 1) + U32(0)));
  EXPECT_FALSE(DecodesPayload(Time(2024, 1, 1) + U32(0xffffffffu)));
  EXPECT_FALSE(DecodesPayload(Time(2024, 1, 1) + U32(1) + U32(0) + "HKCU" + U32(0xffffffffu)));
  EXPECT_FALSE(DecodesPayload(Time(2024, 1, 1)));
}

TEST(SessionCodec, SizePrefixMustFitWhatTheFileCouldHold) {
  const std::string rest(10, 'z');
  uint32_t size = 0xbdbdbdbd;
  auto read = [&](uint32_t claim, const std::string& body) {
    const std::string file = U32(claim) + body;
    return ReadPayloadSize(reinterpret_cast<const uint8_t*>(file.data()), file.size(), size);
  };
  EXPECT_TRUE(read(10320, rest));
  EXPECT_EQ(10320u, size);
  size = 0xbdbdbdbd;
  EXPECT_FALSE(read(10321, rest));
  EXPECT_FALSE(read(0xffffffffu, std::string(5000000, 'z')));
  EXPECT_FALSE(read(19, rest));  // smaller than any payload
  EXPECT_FALSE(read(20, "1234567"));  // no room for a zlib stream
  EXPECT_EQ(0xbdbdbdbdu, size);
}

TEST(SessionCodec, CalendarCheck) {
  SessionTime t{2023, 2, 0, 28, 23, 59, 59, 0};
  EXPECT_TRUE(IsCalendarTime(t));
  t.day = 29;
  EXPECT_FALSE(IsCalendarTime(t));
  t.year = 2000;  // divisible by 400: a leap year
  EXPECT_TRUE(IsCalendarTime(t));
  t.year = 1900;  // divisible by 100 only: not
  EXPECT_FALSE(IsCalendarTime(t));
  t = SessionTime{2024, 4, 0, 31, 0, 0, 0, 0};
  EXPECT_FALSE(IsCalendarTime(t));
  t = SessionTime{2024, 12, 0, 31, 0, 60, 0, 0};
  EXPECT_FALSE(IsCalendarTime(t));
}

}  // namespace
