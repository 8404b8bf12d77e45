#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvrix::text {

// The one way the text engine reads font bytes: big-endian fields at absolute positions, every read
// checked against the buffer. A read that would leave the buffer yields 0 and clears `ok`, so a
// caller can read a whole record and test once; no input can make it touch memory outside.
class FontReader {
 public:
  FontReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool ok() const { return ok_; }
  size_t size() const { return size_; }

  // True when [position, position + count) lies inside the buffer; 64-bit signed positions so that
  // sums of font fields cannot wrap past the check.
  bool Contains(int64_t position, int64_t count) const {
    return position >= 0 && count >= 0 && position <= static_cast<int64_t>(size_) &&
           count <= static_cast<int64_t>(size_) - position;
  }

  uint8_t U8(int64_t position) {
    if (!Contains(position, 1)) return Fail();
    return bytes_[position];
  }
  int8_t I8(int64_t position) { return static_cast<int8_t>(U8(position)); }

  uint16_t U16(int64_t position) {
    if (!Contains(position, 2)) return Fail();
    const uint8_t* p = bytes_ + position;
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
  }
  int16_t I16(int64_t position) { return static_cast<int16_t>(U16(position)); }

  uint32_t U32(int64_t position) {
    if (!Contains(position, 4)) return Fail();
    const uint8_t* p = bytes_ + position;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  }

 private:
  uint8_t Fail() {
    ok_ = false;
    return 0;
  }

  const uint8_t* bytes_;
  size_t size_;
  bool ok_ = true;
};

}  // namespace kelvrix::text
