#pragma once
// Packing a session payload into the bytes of a ".rbk" file and back: a
// 4-byte payload size, then the payload as one zlib stream. No Windows
// header here, so the unpacking can be fuzzed natively.

#include <cstdint>
#include <vector>

#include "backup/ByteReader.h"

namespace RegCheck {

// Compresses `payload` at zlib's default level behind its size; false on a
// zlib error.
bool PackSessionFile(const Bytes& payload, Bytes& file);
// Checks the size prefix against what the file could hold, then inflates
// into a buffer of exactly that size. False for an absurd size, a damaged
// stream, or a stream that ends before filling the buffer. May throw
// std::bad_alloc for a plausible size that does not fit in memory.
bool UnpackSessionFile(const uint8_t* file, size_t size, Bytes& payload);

}  // namespace RegCheck
