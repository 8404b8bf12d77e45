// The effect's picture: one block of heap memory read as a small image at the style's
// channel depth, with a little noise, stretched over the whole world (nearest neighbour).
// Writes red, green and blue only; alpha is the finishing pass's.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostapi/HostApi.h"
#include "render/RenderPlan.h"

namespace kelvrix {

// Each fills `world`, which must have the member's pixel format. Returns the search's abort
// code or a host error; no usable block is not an error (the plan's noBlockFound says so).
PF_Err FillFromMemory8(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                       PF_OutData* out_data);
PF_Err FillFromMemory16(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                        PF_OutData* out_data);
PF_Err FillFromMemoryFloat(RenderPlan& plan, PF_EffectWorld* world, PF_InData* in_data,
                           PF_OutData* out_data);

// The renderer's test seam for the noise: while one lives, every fill seeds its noise with
// `seed` instead of drawing a seed from the random device, so that two renders of the same memory
// (one edition against another) match pixel for pixel. Made and dropped on one thread while no
// frame renders; they nest.
class ScopedNoiseSeedForTesting {
 public:
  explicit ScopedNoiseSeedForTesting(uint32_t seed);
  ~ScopedNoiseSeedForTesting();
  ScopedNoiseSeedForTesting(const ScopedNoiseSeedForTesting&) = delete;
  ScopedNoiseSeedForTesting& operator=(const ScopedNoiseSeedForTesting&) = delete;

 private:
  uint64_t previous_;
};

// Row callbacks for the host's generic iteration (reference: the plan).
PF_Err AddNoiseRow8(void* plan, A_long thread, A_long y, A_long rows);
PF_Err AddNoiseRow16(void* plan, A_long thread, A_long y, A_long rows);
PF_Err AddNoiseRowFloat(void* plan, A_long thread, A_long y, A_long rows);
PF_Err StretchRow8(void* plan, A_long thread, A_long y, A_long rows);
PF_Err StretchRow16(void* plan, A_long thread, A_long y, A_long rows);
PF_Err StretchRowFloat(void* plan, A_long thread, A_long y, A_long rows);

struct MemoryImageSize {
  bool valid;         // false: the world is empty or the image cannot be addressed
  int32_t width;      // pixels
  int32_t height;     // pixels
  size_t blockBytes;  // width * height * 3 * channelBytes
};

// The memory image for a world of worldWidth x worldHeight and the plan's size, in single
// precision: height = ceil(sqrt(size^2 / aspect)), width = ceil(height * aspect).
MemoryImageSize ImageSizeFor(int32_t size, A_long worldWidth, A_long worldHeight,
                             int32_t channelBytes);

// The noise for one channel from two successive 32-bit draws a, b: u = (a + b * 2^32) / 2^64,
// then low + u * (high - low).
inline double NoiseFromDraws(uint32_t a, uint32_t b, double low, double high) {
  const double u =
      (static_cast<double>(a) + static_cast<double>(b) * 4294967296.0) / 18446744073709551616.0;
  return low + u * (high - low);
}

// The same, drawing a and b from `engine`.
template <typename Engine>
double DrawNoise(Engine& engine, double low, double high) {
  const auto a = static_cast<uint32_t>(engine());
  const auto b = static_cast<uint32_t>(engine());
  return NoiseFromDraws(a, b, low, high);
}

// The seed of row y's noise engine, from the frame's base: distinct, well-mixed seeds for
// neighbouring rows (a 32-bit finaliser).
inline uint32_t NoiseRowSeed(uint32_t base, A_long y) {
  uint32_t h = base ^ (static_cast<uint32_t>(y) * 0x9E3779B9u);
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h;
}

}  // namespace kelvrix
