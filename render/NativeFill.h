// The effect's picture: one block of heap memory read as a small image at the style's
// channel depth, with a little noise, stretched over the whole world (nearest neighbour).
// Writes red, green and blue only; alpha is the finishing pass's.
#pragma once

#include <cstddef>

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

// The noise for one channel: u from two successive 32-bit draws a, b as
// (a + b * 2^32) / 2^64, then low + u * (high - low).
template <typename Engine>
double DrawNoise(Engine& engine, double low, double high) {
  const double a = static_cast<double>(engine());
  const double b = static_cast<double>(engine());
  const double u = (a + b * 4294967296.0) / 18446744073709551616.0;
  return low + u * (high - low);
}

}  // namespace kelvrix
