#include "backup/SessionFile.h"

#include <zlib.h>

#include <algorithm>

#include "backup/SessionCodec.h"

namespace RegCheck {

bool PackSessionFile(const Bytes& payload, Bytes& file) {
  const uLong size = static_cast<uLong>(payload.size());
  // The classic bound (0.1 % plus a little) and zlib's own, whichever is larger.
  uLongf bound = size + static_cast<uLong>(size * 0.001) + 16;
  bound = std::max<uLongf>(bound, compressBound(size));
  file.assign(kSizePrefixBytes + bound, 0);
  uLongf packed = bound;
  if (compress(file.data() + kSizePrefixBytes, &packed, payload.data(), size) != Z_OK) {
    file.clear();
    return false;
  }
  file.resize(kSizePrefixBytes + packed);
  WritePayloadSize(file.data(), static_cast<uint32_t>(size));
  return true;
}

bool UnpackSessionFile(const uint8_t* file, size_t size, Bytes& payload) {
  uint32_t payloadSize = 0;
  if (!ReadPayloadSize(file, size, payloadSize)) return false;
  payload.assign(payloadSize, 0);
  uLongf unpacked = payloadSize;
  if (uncompress(payload.data(), &unpacked, file + kSizePrefixBytes,
                 static_cast<uLong>(size - kSizePrefixBytes)) != Z_OK)
    return false;
  // A stream that ends early would leave zeros at the end that look like data.
  return unpacked == payloadSize;
}

}  // namespace RegCheck
