#include "host/InputPicture.h"

#include <cmath>

#include "host/WorldStore.h"

namespace kelvrix::host {
namespace {

struct Rgb {
  float r, g, b;  // 0..1
};

// Diagonal colour ramps with a soft disc in the middle.
Rgb PictureAt(A_long x, A_long y, A_long width, A_long height) {
  const float u = width > 1 ? static_cast<float>(x) / static_cast<float>(width - 1) : 0.0f;
  const float v = height > 1 ? static_cast<float>(y) / static_cast<float>(height - 1) : 0.0f;
  const float dx = u - 0.5f, dy = v - 0.5f;
  const float disc = std::exp(-(dx * dx + dy * dy) * 18.0f);
  return Rgb{0.15f + 0.7f * u, 0.2f + 0.6f * v * (1.0f - disc), 0.35f + 0.6f * disc};
}

template <typename Pixel, typename Channel>
void Paint(PF_EffectWorld& world, float full) {
  for (A_long y = 0; y < world.height; ++y) {
    for (A_long x = 0; x < world.width; ++x) {
      const Rgb c = PictureAt(x, y, world.width, world.height);
      Pixel* p = PixelAt<Pixel>(world, x, y);
      p->alpha = static_cast<Channel>(full);
      p->red = static_cast<Channel>(c.r * full);
      p->green = static_cast<Channel>(c.g * full);
      p->blue = static_cast<Channel>(c.b * full);
    }
  }
}

}  // namespace

void PaintInputPicture(PF_EffectWorld& world, PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB32:
      Paint<PF_Pixel8, A_u_char>(world, 255.0f);
      break;
    case PF_PixelFormat_ARGB64:
      Paint<PF_Pixel16, A_u_short>(world, 32768.0f);
      break;
    case PF_PixelFormat_ARGB128:
      Paint<PF_PixelFloat, float>(world, 1.0f);
      break;
    default:
      break;
  }
}

}  // namespace kelvrix::host
