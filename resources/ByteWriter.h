// Appends integers in a chosen byte order: the resources' one way of laying out numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kelvrix {

class ByteWriter {
 public:
  explicit ByteWriter(bool little_endian) : little_endian_(little_endian) {}

  void U8(uint32_t v) { bytes_.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) { Unsigned(v, 2); }
  void U24(uint32_t v) { Unsigned(v, 3); }
  void U32(uint32_t v) { Unsigned(v, 4); }
  void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void Bytes(const std::vector<uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
  }
  // Overwrites the u32 written at `at`, for a length known only after what it measures.
  void PatchU32(size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) bytes_[at + i] = ByteOf(v, i, 4);
  }

  size_t size() const { return bytes_.size(); }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  // Byte `i` in file order of a `width`-byte value.
  uint8_t ByteOf(uint32_t v, size_t i, size_t width) const {
    const size_t shift = 8 * (little_endian_ ? i : width - 1 - i);
    return static_cast<uint8_t>(v >> shift);
  }
  void Unsigned(uint32_t v, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes_.push_back(ByteOf(v, i, width));
  }

  bool little_endian_;
  std::vector<uint8_t> bytes_;
};

}  // namespace kelvrix
