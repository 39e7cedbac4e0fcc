// Fuzzes the snapshot reader. A snapshot the reader accepts must encode back
// to exactly the bytes it came from: the format has one encoding per tree,
// so any difference means the reader accepted something it misread.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backup/SnapshotCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegCheck::Snapshot snapshot;
  if (!RegCheck::DecodeSnapshot(data, size, snapshot)) return 0;
  RegCheck::Bytes again;
  if (!RegCheck::EncodeSnapshot(snapshot, again)) abort();
  if (again.size() != size || std::memcmp(again.data(), data, size) != 0) abort();
  return 0;
}
