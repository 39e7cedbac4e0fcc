// Fuzzes the session payload reader and the snapshots inside its records.
// An accepted payload must encode back to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backup/SessionCodec.h"
#include "backup/SnapshotCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegCheck::SessionPayload payload;
  if (!RegCheck::DecodePayload(data, size, payload)) return 0;
  for (const RegCheck::OperationRecord& record : payload.operations) {
    RegCheck::Snapshot snapshot;
    RegCheck::DecodeSnapshot(record.snapshot.data(), record.snapshot.size(), snapshot);
  }
  RegCheck::Bytes again;
  if (!RegCheck::EncodePayload(payload, again)) abort();
  if (again.size() != size || std::memcmp(again.data(), data, size) != 0) abort();
  return 0;
}
