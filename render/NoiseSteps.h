// The 8-bit noise without its double arithmetic. A channel's noise is a whole step
// (RoundHalfAway of low + u * (high - low), u from two 32-bit draws a, b), and every operation on
// the way there is monotone in X = b * 2^32 + a when high >= low: so the step is the lowest step
// plus the number of thresholds X has reached. The thresholds are found once, exactly, by
// bisection over X with the same arithmetic, so the steps equal the arithmetic's for every X.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/Isa.h"

namespace kelvrix {

struct NoiseSteps {
  static constexpr int kMaxRises = 2;  // -1, 0 and +1: the 8-bit noise between -1.49 and 1.49

  bool valid = false;  // false: bounds that are not finite, reversed or too wide; use the doubles
  int32_t lowest = 0;  // the step of X = 0
  // Threshold k as its two 32-bit halves: X reaches it when b > high, or b == high and a >= low.
  // Unused thresholds count 0, so that the per-channel loop has a fixed shape and vectorises.
  uint32_t riseHigh[kMaxRises] = {};
  uint32_t riseLow[kMaxRises] = {};
  int32_t inUse[kMaxRises] = {};

  int32_t StepOf(uint32_t a, uint32_t b) const {
    int32_t step = lowest;
    for (int k = 0; k < kMaxRises; ++k) {
      const bool reached = (b > riseHigh[k]) | ((b == riseHigh[k]) & (a >= riseLow[k]));
      step += static_cast<int32_t>(reached) & inUse[k];
    }
    return step;
  }
};

// The steps of the noise between low and high.
NoiseSteps NoiseStepsFor(double low, double high);

// Adds to each of `count` 8-bit channels the step of its two draws (channel c: draws 2c and
// 2c + 1), clamped to 0..255. `isa`: the build of the loop that runs; both give the same.
void AddNoiseSteps(const NoiseSteps& steps, const uint32_t* draws, uint8_t* channels, size_t count,
                   Isa isa = DetectedIsa());

// The steps of the noise between low and high, remembered per thread for the last bounds asked:
// every row of a fill asks alike.
const NoiseSteps& CachedNoiseSteps(double low, double high);

}  // namespace kelvrix
