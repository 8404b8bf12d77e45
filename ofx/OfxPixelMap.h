// Between the host's images and the core's worlds. The core's pixels are alpha, red, green,
// blue with rows top-down; a host's are red, green, blue, alpha with rows bottom-up. At 16 bits
// the core's white is 32768 and the host's 65535: 0..32768 maps onto 0..65535 rounding to
// nearest (32768 -> 65535, 16384 -> 32768, 1 -> 2), and back the same way (65535 -> 32768,
// 2 -> 1, 1 -> 1). 8-bit and float samples are copied as they are: float is not clamped.
//
// `frame` is the whole frame in pixel coordinates; world row r is the frame's row
// y = frame.y2 - 1 - r (the top of the picture first), world column c is x = frame.x1 + c.
#pragma once

#include <cstdint>

#include "hostapi/HostApi.h"
#include "ofx/OfxImage.h"

namespace kelvrix::ofx {

// Inline: they run for every sample of a frame, and the row loops vectorise with them.
inline uint16_t SixteenToHost(uint16_t core) {
  const uint16_t v = core < 32768u ? core : 32768u;  // the core's white or more is white
  // v * 65535 / 32768 rounded to nearest: 2v, less one past the middle. In 16-bit lanes.
  return static_cast<uint16_t>(2u * v - (v > 16384u ? 1u : 0u));
}

inline uint16_t SixteenFromHost(uint16_t host) {
  return static_cast<uint16_t>((uint32_t{host} * 32768u + 32767u) / 65535u);
}

// One pass of rows, for a RowRunner: `rows` rows, each converted by RowFunction.
struct PixelPass {
  const ImageView* image = nullptr;
  PF_EffectWorld* world = nullptr;
  OfxRectI frame{};
  OfxRectI area{};  // pixel coordinates; rows of the pass are area.y1 .. area.y2 - 1
  PF_Err (*row)(void* pass, A_long thread, A_long row) = nullptr;
  A_long rows() const { return area.y2 > area.y1 ? area.y2 - area.y1 : 0; }
};

// Source pixels into the world: `area` is the image's bounds within the frame; the world's
// other pixels are left as they are.
PixelPass ImportPass(const ImageView& source, const OfxRectI& frame, PF_EffectWorld* world);

// World pixels into the output image over `window` (clipped to the image's bounds); pixels
// of the window outside the frame become transparent black.
PixelPass ExportPass(const ImageView& output, const OfxRectI& frame, const OfxRectI& window,
                     PF_EffectWorld* world);

// When the core can render straight into the output image: the image holds the whole frame
// and the window asks for exactly the frame's pixels there. Then *world is a world over the
// image's pixels of the frame, the top row first (negative rowbytes for an image whose rows
// run upwards in memory), and the pass turns the world's rows, the core's layout, into the
// host's where they lie. Otherwise false and nothing is set.
bool InPlaceOutput(const ImageView& output, const OfxRectI& window, PF_EffectWorld* world,
                   PixelPass* pass);

OfxRectI Intersection(const OfxRectI& a, const OfxRectI& b);

}  // namespace kelvrix::ofx
