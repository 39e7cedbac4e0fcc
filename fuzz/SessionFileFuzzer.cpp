// Fuzzes a whole ".rbk" file as the start-up load sees it: size prefix,
// zlib stream, payload. The size check must keep every allocation in
// proportion to the input.
//
// Random changes to a zlib stream almost never inflate, so half of the
// mutations work on the inflated payload and pack it again: that way the
// payload reader behind the inflation is reached too.

#include <zlib.h>

#include <cstdint>
#include <cstring>

#include "backup/SessionCodec.h"
#include "backup/SessionFile.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegCheck::Bytes payload;
  if (!RegCheck::UnpackSessionFile(data, size, payload)) return 0;
  RegCheck::SessionPayload parsed;
  RegCheck::DecodePayload(payload.data(), payload.size(), parsed);
  return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned seed) {
  RegCheck::Bytes payload;
  if (seed % 2 == 0 || !RegCheck::UnpackSessionFile(data, size, payload))
    return LLVMFuzzerMutate(data, size, maxSize);
  const size_t used = payload.size();
  payload.resize(used * 2 + 64);
  payload.resize(LLVMFuzzerMutate(payload.data(), used, payload.size()));
  if (payload.size() < RegCheck::kMinPayloadSize) return LLVMFuzzerMutate(data, size, maxSize);
  RegCheck::Bytes file;
  if (!RegCheck::PackSessionFile(payload, file) || file.size() > maxSize)
    return LLVMFuzzerMutate(data, size, maxSize);
  std::memcpy(data, file.data(), file.size());
  return file.size();
}
