#include "cli/WorldPixels.h"

#include <cmath>
#include <type_traits>

#include "host/WorldStore.h"

namespace kelvrix::cli {

PF_EffectWorld WorldOver(std::vector<uint8_t>& bytes, int width, int height, A_long pixelBytes) {
  PF_EffectWorld world{};
  world.data = reinterpret_cast<PF_PixelPtr>(bytes.data());
  world.rowbytes = width * pixelBytes;
  world.width = width;
  world.height = height;
  return world;
}

namespace {

using host::PixelAt;

template <typename Pixel>
void ToImage(const PF_EffectWorld& world, float full, RgbaImage* image) {
  const float scale = 1.0f / full;
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const Pixel* p = PixelAt<Pixel>(world, x, y);
      float* out = image->At(x, y);
      out[0] = static_cast<float>(p->red) * scale;
      out[1] = static_cast<float>(p->green) * scale;
      out[2] = static_cast<float>(p->blue) * scale;
      out[3] = static_cast<float>(p->alpha) * scale;
    }
  }
}

template <typename Channel>
Channel ToChannel(float value, float full) {
  if constexpr (std::is_floating_point_v<Channel>) {
    return value;
  } else {
    const float v = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
    return static_cast<Channel>(v * full + 0.5f);
  }
}

template <typename Pixel, typename Channel>
void FromImage(PF_EffectWorld& world, float full, const RgbaImage& image) {
  for (int y = 0; y < world.height && y < image.height; ++y) {
    for (int x = 0; x < world.width && x < image.width; ++x) {
      const float* in = image.At(x, y);
      Pixel* p = PixelAt<Pixel>(world, x, y);
      p->red = ToChannel<Channel>(in[0], full);
      p->green = ToChannel<Channel>(in[1], full);
      p->blue = ToChannel<Channel>(in[2], full);
      p->alpha = ToChannel<Channel>(in[3], full);
    }
  }
}

// The card halves the input's colour (truncating at the integer depths); a tolerance of one
// step covers either rounding.
template <typename Pixel>
bool IsHalved(const Pixel& out, const Pixel& in, float step) {
  auto near = [step](float a, float b) { return std::fabs(a - b) <= step; };
  return near(static_cast<float>(out.red), static_cast<float>(in.red) * 0.5f) &&
         near(static_cast<float>(out.green), static_cast<float>(in.green) * 0.5f) &&
         near(static_cast<float>(out.blue), static_cast<float>(in.blue) * 0.5f);
}

template <typename Pixel>
bool ShowsMemoryAt(const PF_EffectWorld& output, const PF_EffectWorld& input, float full,
                   float step) {
  long long halved = 0;
  for (A_long y = 0; y < output.height; ++y) {
    for (A_long x = 0; x < output.width; ++x) {
      const Pixel& out = *PixelAt<Pixel>(output, x, y);
      if (static_cast<float>(out.alpha) != full) return false;
      if (y < input.height && x < input.width &&
          IsHalved(out, *PixelAt<Pixel>(input, x, y), step)) {
        ++halved;
      }
    }
  }
  return 2 * halved < static_cast<long long>(output.width) * output.height;
}

}  // namespace

float FullValueOf(PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB64:
      return 32768.0f;
    case PF_PixelFormat_ARGB128:
      return 1.0f;
    default:
      return 255.0f;
  }
}

RgbaImage ImageFromWorld(const PF_EffectWorld& world, PF_PixelFormat format) {
  RgbaImage image(world.width, world.height);
  switch (format) {
    case PF_PixelFormat_ARGB64:
      ToImage<PF_Pixel16>(world, FullValueOf(format), &image);
      break;
    case PF_PixelFormat_ARGB128:
      ToImage<PF_PixelFloat>(world, FullValueOf(format), &image);
      break;
    default:
      ToImage<PF_Pixel8>(world, FullValueOf(format), &image);
      break;
  }
  return image;
}

void PaintWorld(PF_EffectWorld& world, PF_PixelFormat format, const RgbaImage& image) {
  switch (format) {
    case PF_PixelFormat_ARGB64:
      FromImage<PF_Pixel16, A_u_short>(world, FullValueOf(format), image);
      break;
    case PF_PixelFormat_ARGB128:
      FromImage<PF_PixelFloat, PF_FpShort>(world, FullValueOf(format), image);
      break;
    default:
      FromImage<PF_Pixel8, A_u_char>(world, FullValueOf(format), image);
      break;
  }
}

bool ShowsMemory(const PF_EffectWorld& output, const PF_EffectWorld& input, PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB64:
      return ShowsMemoryAt<PF_Pixel16>(output, input, 32768.0f, 1.0f);
    case PF_PixelFormat_ARGB128:
      return ShowsMemoryAt<PF_PixelFloat>(output, input, 1.0f, 1e-6f);
    default:
      return ShowsMemoryAt<PF_Pixel8>(output, input, 255.0f, 1.0f);
  }
}

}  // namespace kelvrix::cli
