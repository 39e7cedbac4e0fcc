#pragma once
// Writes little-endian integers and byte strings into a buffer of fixed
// size. A write that would pass the end writes nothing and makes the writer
// fail for good, so a wrong size estimate can never overrun the buffer.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace RegCheck {

class ByteWriter {
 public:
  ByteWriter(uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  // False once any write did not fit.
  bool Ok() const { return ok_; }
  // True when every write fitted and the buffer is exactly full.
  bool Complete() const { return ok_ && pos_ == size_; }

  void PutU16(uint16_t value) {
    uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    PutBytes(bytes, 2);
  }

  void PutU32(uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    PutBytes(bytes, 4);
  }

  void PutBytes(const void* bytes, size_t count) {
    if (!ok_ || size_ - pos_ < count) {
      ok_ = false;
      return;
    }
    if (count) std::memcpy(data_ + pos_, bytes, count);
    pos_ += count;
  }

  // A uint32 length followed by the bytes.
  template <typename Buffer>
  void PutCounted(const Buffer& bytes) {
    if (bytes.size() > UINT32_MAX) {
      ok_ = false;
      return;
    }
    PutU32(static_cast<uint32_t>(bytes.size()));
    PutBytes(bytes.data(), bytes.size());
  }

 private:
  uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace RegCheck
