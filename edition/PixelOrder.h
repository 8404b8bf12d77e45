// frei0r's RGBA8888 (bytes red, green, blue, alpha) against the core's 8 bpc pixel (alpha,
// red, green, blue): a rotation of each pixel's four bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvrix::frei0r {

// `pixels` pixels from src (RGBA) into dst (ARGB). src and dst may be the same.
void RgbaToArgb(const uint8_t* src, uint8_t* dst, size_t pixels);

// `pixels` pixels from src (ARGB) into dst (RGBA). src and dst may be the same.
void ArgbToRgba(const uint8_t* src, uint8_t* dst, size_t pixels);

}  // namespace kelvrix::frei0r
