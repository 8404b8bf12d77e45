#include "ofx/OfxPixelMap.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

#include "edition/EditionWorld.h"
#include "edition/PixelOrder.h"

namespace kelvrix::ofx {
namespace {

// Per depth: the sample type (the same in both layouts) and its conversions.
struct Depth8 {
  using Sample = uint8_t;
  static Sample ToHost(Sample v) { return v; }
  static Sample FromHost(Sample v) { return v; }
};
struct Depth16 {
  using Sample = uint16_t;
  static Sample ToHost(Sample v) { return SixteenToHost(v); }
  static Sample FromHost(Sample v) { return SixteenFromHost(v); }
};
struct DepthFloat {
  using Sample = float;
  static Sample ToHost(Sample v) { return v; }
  static Sample FromHost(Sample v) { return v; }
};

template <typename Depth>
typename Depth::Sample* WorldPixel(const PF_EffectWorld& world, A_long row, A_long column) {
  auto* line =
      reinterpret_cast<uint8_t*>(world.data) + static_cast<ptrdiff_t>(row) * world.rowbytes;
  return reinterpret_cast<typename Depth::Sample*>(line) + 4 * static_cast<ptrdiff_t>(column);
}

template <typename Depth>
typename Depth::Sample* ImagePixel(const ImageView& image, int x, int y) {
  return reinterpret_cast<typename Depth::Sample*>(image.Row(y)) +
         4 * static_cast<ptrdiff_t>(x - image.bounds.x1);
}

// One row's pixels, host order to the core's. The host's image and the world never overlap;
// saying so lets the loop vectorise.
template <typename Depth>
void FromHostPixels(const typename Depth::Sample* __restrict in,
                    typename Depth::Sample* __restrict out, int pixels) {
  if constexpr (std::is_same_v<Depth, Depth8>) {
    edition::RgbaToArgb(in, out, static_cast<size_t>(pixels));
  } else {
    for (int i = 0; i < 4 * pixels; i += 4) {
      out[i] = Depth::FromHost(in[i + 3]);
      out[i + 1] = Depth::FromHost(in[i]);
      out[i + 2] = Depth::FromHost(in[i + 1]);
      out[i + 3] = Depth::FromHost(in[i + 2]);
    }
  }
}

// One row's pixels, the core's order to the host's, where they lie: each pixel is read whole
// before it is written.
template <typename Depth>
void ToHostInPlace(typename Depth::Sample* pixels, int count) {
  using Sample = typename Depth::Sample;
  if constexpr (std::is_same_v<Depth, Depth8>) {
    edition::ArgbToRgba(pixels, pixels, static_cast<size_t>(count));
  } else {
    for (int i = 0; i < 4 * count; i += 4) {
      const Sample alpha = pixels[i];
      const Sample red = pixels[i + 1];
      const Sample green = pixels[i + 2];
      const Sample blue = pixels[i + 3];
      pixels[i] = Depth::ToHost(red);
      pixels[i + 1] = Depth::ToHost(green);
      pixels[i + 2] = Depth::ToHost(blue);
      pixels[i + 3] = Depth::ToHost(alpha);
    }
  }
}

template <typename Depth>
PF_Err ImportRow(void* context, A_long, A_long row) {
  const auto& pass = *static_cast<const PixelPass*>(context);
  const int y = pass.area.y1 + row;
  const auto* in = ImagePixel<Depth>(*pass.image, pass.area.x1, y);
  auto* out = WorldPixel<Depth>(*pass.world, pass.frame.y2 - 1 - y, pass.area.x1 - pass.frame.x1);
  FromHostPixels<Depth>(in, out, pass.area.x2 - pass.area.x1);
  return PF_Err_NONE;
}

template <typename Depth>
PF_Err ExportRow(void* context, A_long, A_long row) {
  using Sample = typename Depth::Sample;
  const auto& pass = *static_cast<const PixelPass*>(context);
  const int y = pass.area.y1 + row;
  Sample* out = ImagePixel<Depth>(*pass.image, pass.area.x1, y);
  // The window's columns outside the frame, left and right, become transparent black; the
  // loop between them has no branch.
  const bool rowInFrame = y >= pass.frame.y1 && y < pass.frame.y2;
  const int inside1 =
      rowInFrame ? std::clamp(pass.frame.x1, pass.area.x1, pass.area.x2) : pass.area.x2;
  const int inside2 = rowInFrame ? std::clamp(pass.frame.x2, inside1, pass.area.x2) : pass.area.x2;
  const auto blank = [](Sample* from, int pixels) {
    std::memset(from, 0, sizeof(Sample) * 4 * static_cast<size_t>(pixels));
  };
  blank(out, inside1 - pass.area.x1);
  out += 4 * static_cast<ptrdiff_t>(inside1 - pass.area.x1);
  if (inside2 > inside1) {
    const Sample* in =
        WorldPixel<Depth>(*pass.world, pass.frame.y2 - 1 - y, inside1 - pass.frame.x1);
    // Copied as they are and turned in the host's row, while it is in cache.
    std::memcpy(out, in, sizeof(Sample) * 4 * static_cast<size_t>(inside2 - inside1));
    ToHostInPlace<Depth>(out, inside2 - inside1);
    out += 4 * static_cast<ptrdiff_t>(inside2 - inside1);
  }
  blank(out, pass.area.x2 - inside2);
  return PF_Err_NONE;
}

template <typename Depth>
PF_Err InPlaceRow(void* context, A_long, A_long row) {
  const auto& pass = *static_cast<const PixelPass*>(context);
  ToHostInPlace<Depth>(ImagePixel<Depth>(*pass.image, pass.area.x1, pass.area.y1 + row),
                       pass.area.x2 - pass.area.x1);
  return PF_Err_NONE;
}

template <template <typename> class Row>
PF_Err (*RowFor(PF_PixelFormat format))(void*, A_long, A_long) {
  switch (format) {
    case PF_PixelFormat_ARGB64:
      return Row<Depth16>::Run;
    case PF_PixelFormat_ARGB128:
      return Row<DepthFloat>::Run;
    default:
      return Row<Depth8>::Run;
  }
}

template <typename Depth>
struct ImportRows {
  static constexpr auto Run = ImportRow<Depth>;
};
template <typename Depth>
struct ExportRows {
  static constexpr auto Run = ExportRow<Depth>;
};

template <typename Depth>
struct InPlaceRows {
  static constexpr auto Run = InPlaceRow<Depth>;
};

bool SameRect(const OfxRectI& a, const OfxRectI& b) {
  return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

}  // namespace

OfxRectI Intersection(const OfxRectI& a, const OfxRectI& b) {
  OfxRectI r{std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2),
             std::min(a.y2, b.y2)};
  if (r.x2 < r.x1) r.x2 = r.x1;
  if (r.y2 < r.y1) r.y2 = r.y1;
  return r;
}

PixelPass ImportPass(const ImageView& source, const OfxRectI& frame, PF_EffectWorld* world) {
  PixelPass pass;
  pass.image = &source;
  pass.world = world;
  pass.frame = frame;
  pass.area = Intersection(source.bounds, frame);
  pass.row = RowFor<ImportRows>(source.format);
  return pass;
}

PixelPass ExportPass(const ImageView& output, const OfxRectI& frame, const OfxRectI& window,
                     PF_EffectWorld* world) {
  PixelPass pass;
  pass.image = &output;
  pass.world = world;
  pass.frame = frame;
  pass.area = Intersection(window, output.bounds);
  pass.row = RowFor<ExportRows>(output.format);
  return pass;
}

bool InPlaceOutput(const ImageView& output, const OfxRectI& window, PF_EffectWorld* world,
                   PixelPass* pass) {
  const OfxRectI& frame = output.frame;
  const A_long pixelBytes = edition::PixelBytes(output.format);
  const ptrdiff_t limit = std::numeric_limits<A_long>::max();
  if (pixelBytes == 0 || !SameRect(Intersection(window, output.bounds), frame) ||
      output.rowBytes < -limit || output.rowBytes > limit || frame.x2 <= frame.x1 ||
      frame.y2 <= frame.y1) {
    return false;
  }
  uint8_t* top =
      output.Row(frame.y2 - 1) + static_cast<ptrdiff_t>(frame.x1 - output.bounds.x1) * pixelBytes;
  // The world steps down a row where the image steps up one.
  *world = edition::WorldOver(top, static_cast<A_long>(-output.rowBytes), frame.x2 - frame.x1,
                              frame.y2 - frame.y1, output.format);
  pass->image = &output;
  pass->world = world;
  pass->frame = frame;
  pass->area = frame;
  pass->row = RowFor<InPlaceRows>(output.format);
  return true;
}

}  // namespace kelvrix::ofx
