// Fuzzes the recovery journal reader that runs at start-up on whatever a
// crash left behind. Every operation it keeps must be one the payload
// writer accepts, since recovery saves them as a backup file.

#include <cstdint>
#include <cstdlib>

#include "backup/JournalCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegCheck::SessionPayload payload;
  if (!RegCheck::DecodeJournal(data, size, payload)) return 0;
  RegCheck::Bytes encoded;
  if (!RegCheck::EncodePayload(payload, encoded)) abort();
  RegCheck::SessionPayload again;
  if (!RegCheck::DecodePayload(encoded.data(), encoded.size(), again)) abort();
  if (again.operations.size() != payload.operations.size()) abort();
  return 0;
}
