#pragma once
// Bounds-checked reading of the little-endian integers and byte strings that
// snapshots and session payloads are made of. Every read checks that the
// bytes are there before touching them; a failed read leaves its
// out-parameter and the position untouched.

#include <cstdint>
#include <string>
#include <vector>

namespace RegCheck {

using Bytes = std::vector<uint8_t>;

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  size_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ == size_; }

  bool ReadU16(uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }

  bool ReadU32(uint32_t& value) {
    if (Remaining() < 4) return false;
    value = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
            (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
            (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return true;
  }

  // Reads `count` raw bytes.
  bool ReadBytes(size_t count, std::string& out) {
    if (Remaining() < count) return false;
    out.assign(reinterpret_cast<const char*>(data_ + pos_), count);
    pos_ += count;
    return true;
  }
  bool ReadBytes(size_t count, Bytes& out) {
    if (Remaining() < count) return false;
    out.assign(data_ + pos_, data_ + pos_ + count);
    pos_ += count;
    return true;
  }

  // A uint32 length followed by that many bytes. The length is checked
  // against what is left before anything is allocated.
  template <typename Buffer>
  bool ReadCounted(Buffer& out) {
    const size_t start = pos_;
    uint32_t length = 0;
    if (!ReadU32(length)) return false;
    if (!ReadBytes(length, out)) {
      pos_ = start;
      return false;
    }
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace RegCheck
