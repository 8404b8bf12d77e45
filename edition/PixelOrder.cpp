#include "edition/PixelOrder.h"

#include <cstring>

namespace kelvrix::edition {

// As 32-bit words in memory order (little-endian) a rotation by one byte; the loops
// vectorise.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixel words are read little-endian");

void RgbaToArgb(const uint8_t* src, uint8_t* dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    uint32_t p;
    std::memcpy(&p, src + 4 * i, 4);
    p = (p << 8) | (p >> 24);  // alpha, the top byte, moves to the first
    std::memcpy(dst + 4 * i, &p, 4);
  }
}

void ArgbToRgba(const uint8_t* src, uint8_t* dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    uint32_t p;
    std::memcpy(&p, src + 4 * i, 4);
    p = (p >> 8) | (p << 24);  // alpha, the first byte, moves to the top
    std::memcpy(dst + 4 * i, &p, 4);
  }
}

}  // namespace kelvrix::edition
