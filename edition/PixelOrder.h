// 8-bit RGBA (bytes red, green, blue, alpha: frei0r's and OpenFX's) against the core's 8 bpc
// pixel (alpha, red, green, blue): a rotation of each pixel's four bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvrix::edition {

// `pixels` pixels from src (RGBA) into dst (ARGB). src and dst may be the same.
void RgbaToArgb(const uint8_t* src, uint8_t* dst, size_t pixels);

// `pixels` pixels from src (ARGB) into dst (RGBA). src and dst may be the same.
void ArgbToRgba(const uint8_t* src, uint8_t* dst, size_t pixels);

}  // namespace kelvrix::edition
