#include "cli/RgbaImage.h"

#include <algorithm>

namespace kelvrix::cli {

RgbaImage ScaledNearest(const RgbaImage& image, int width, int height) {
  RgbaImage out(width, height);
  if (image.width == 0 || image.height == 0) return out;
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>(static_cast<long long>(y) * image.height / height);
    for (int x = 0; x < width; ++x) {
      const int sx = static_cast<int>(static_cast<long long>(x) * image.width / width);
      std::copy_n(image.At(sx, sy), 4, out.At(x, y));
    }
  }
  return out;
}

RgbaImage ShrunkByBoxes(const RgbaImage& image, int factor) {
  factor = std::max(factor, 1);
  RgbaImage out(std::max(image.width / factor, 1), std::max(image.height / factor, 1));
  const float weight = 1.0f / static_cast<float>(factor * factor);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      float sum[4] = {0, 0, 0, 0};
      for (int dy = 0; dy < factor; ++dy) {
        const int sy = std::min(y * factor + dy, image.height - 1);
        for (int dx = 0; dx < factor; ++dx) {
          const int sx = std::min(x * factor + dx, image.width - 1);
          const float* p = image.At(sx, sy);
          for (int c = 0; c < 4; ++c) {
            // NaN fails both comparisons and ends as 0.
            sum[c] += p[c] > 0.0f ? (p[c] < 1.0f ? p[c] : 1.0f) : 0.0f;
          }
        }
      }
      for (int c = 0; c < 4; ++c) out.At(x, y)[c] = sum[c] * weight;
    }
  }
  return out;
}

}  // namespace kelvrix::cli
