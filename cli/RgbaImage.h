// A picture outside any host world: straight red, green, blue, alpha floats per pixel, with
// the project's full value mapped to 1. 32 bpc memory pictures keep values outside 0..1, NaN
// and infinity (they are part of the look); the writers decide what a format can hold.
#pragma once

#include <cstddef>
#include <vector>

namespace kelvrix::cli {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<float> pixels;  // width x height x {red, green, blue, alpha}, rows top down

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0.0f) {}
  float* At(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
  const float* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

// The picture scaled to width x height by picking the nearest source pixel.
RgbaImage ScaledNearest(const RgbaImage& image, int width, int height);
// The picture shrunk by averaging `factor` x `factor` blocks of display values (clamped to
// 0..1, NaN as 0), for thumbnails.
RgbaImage ShrunkByBoxes(const RgbaImage& image, int factor);

}  // namespace kelvrix::cli
