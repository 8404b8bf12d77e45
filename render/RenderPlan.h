// The per-frame record pre-render creates and the host hands back at render. Every per-row
// callback of the frame receives it as its one opaque reference, so the search, the fill
// and the depth conversion keep their frame state here.
#pragma once

#include <cstdint>
#include <random>

#include "hostapi/HostApi.h"

namespace kelvrix {

// How memory is read, from the Style boxes. 0: no box ticked.
enum StyleDepth : uint8_t {
  kStyleNone = 0,
  kStyle8 = 1,      // "Zesty (8 bpc)", parameter 3
  kStyle16 = 2,     // "Cloudy (16 bpc)", parameter 4
  kStyleFloat = 3,  // "Tripping (32 bpc)", parameter 5
};

// Rows of a world are addressed by its rowbytes, never by a pitch in whole pixels: a host's
// row padding need not be a multiple of the pixel size.
struct RenderPlan {
  PF_EffectWorld* outputWorld = nullptr;
  uint32_t pixelFormat = static_cast<uint32_t>(PF_PixelFormat_INVALID);
  bool noBlockFound = false;
  double noise8Low = 0.0;
  double noise8High = 0.0;
  double noise16Low = 0.0;
  double noise16High = 0.0;
  double noiseFloatLow = 0.0;
  double noiseFloatHigh = 0.0;
  std::mt19937 rng;
  int32_t size = 0;  // side of the memory image in pixels, before aspect correction
  uint8_t style = kStyleNone;
  PF_EffectWorld* targetWorld = nullptr;
  uint8_t* block = nullptr;
  int32_t imageWidth = 0;  // memory image, pixels
  int32_t imageHeight = 0;
  int32_t channelBytes = 0;
  PF_EffectWorld* convDst = nullptr;
  PF_EffectWorld* convSrc = nullptr;
  // Seeds the per-row noise engines of the fill's first pass: rows run on several threads
  // at once, and each row drawing from its own engine keeps the draws race-free without a
  // lock per draw. Drawn from rng when the fill seeds it.
  uint32_t rowSeedBase = 0;
};

// Allocates a plan without throwing; null when memory is short.
RenderPlan* NewPlan();
// The host's delete callback for pre-render data: frees a plan from NewPlan (null is fine).
void FreePlan(void* plan);

// Widens dst to cover src. An empty dst (left >= right or top >= bottom) becomes a copy of
// src; an empty src leaves dst as it is.
void UnionRect(const PF_LRect& src, PF_LRect& dst);

// The plan's test seam: while one lives, NewPlan takes its memory from `allocate` (a test's
// way to make it fail). Made and dropped on one thread while no frame renders.
class ScopedPlanAllocatorForTesting {
 public:
  explicit ScopedPlanAllocatorForTesting(void* (*allocate)(size_t));
  ~ScopedPlanAllocatorForTesting();
  ScopedPlanAllocatorForTesting(const ScopedPlanAllocatorForTesting&) = delete;
  ScopedPlanAllocatorForTesting& operator=(const ScopedPlanAllocatorForTesting&) = delete;

 private:
  void* (*previous_)(size_t);
};

}  // namespace kelvrix
