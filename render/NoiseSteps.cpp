#include "render/NoiseSteps.h"

#include <algorithm>
#include <cmath>

#include "render/NativeFill.h"
#include "render/PixelTraits.h"

namespace kelvrix {
namespace {

int32_t StepAt(uint64_t x, double low, double high) {
  return RoundHalfAway(
      NoiseFromDraws(static_cast<uint32_t>(x), static_cast<uint32_t>(x >> 32), low, high));
}

// The smallest X whose step is at least `step`, given that X = 0 is below it and the largest X
// reaches it.
uint64_t FirstReaching(int32_t step, double low, double high) {
  uint64_t below = 0;
  uint64_t reaching = UINT64_MAX;
  while (reaching - below > 1) {
    const uint64_t middle = below + (reaching - below) / 2;
    (StepAt(middle, low, high) >= step ? reaching : below) = middle;
  }
  return reaching;
}

// One body for both builds (see Isa.h).
inline __attribute__((always_inline)) void AddSteps(const NoiseSteps& steps, const uint32_t* draws,
                                                    uint8_t* channels, size_t count) {
  for (size_t c = 0; c < count; ++c) {
    const int32_t v = channels[c] + steps.StepOf(draws[2 * c], draws[2 * c + 1]);
    channels[c] = static_cast<uint8_t>(std::min(std::max(v, 0), 255));
  }
}

void AddStepsBaseline(const NoiseSteps& steps, const uint32_t* draws, uint8_t* channels,
                      size_t count) {
  AddSteps(steps, draws, channels, count);
}
KELVRIX_AVX2 void AddStepsAvx2(const NoiseSteps& steps, const uint32_t* draws, uint8_t* channels,
                               size_t count) {
  AddSteps(steps, draws, channels, count);
}

}  // namespace

void AddNoiseSteps(const NoiseSteps& steps, const uint32_t* draws, uint8_t* channels, size_t count,
                   Isa isa) {
  (isa == Isa::kAvx2 ? AddStepsAvx2 : AddStepsBaseline)(steps, draws, channels, count);
}

NoiseSteps NoiseStepsFor(double low, double high) {
  NoiseSteps steps;
  // Bounds well inside RoundHalfAway's range, and in order: the arithmetic is monotone then.
  constexpr double kLimit = 1e6;
  if (!(low >= -kLimit && high <= kLimit && low <= high)) return steps;
  steps.lowest = StepAt(0, low, high);
  const int32_t highest = StepAt(UINT64_MAX, low, high);
  if (highest - steps.lowest > NoiseSteps::kMaxRises) return steps;
  for (int32_t step = steps.lowest + 1, k = 0; step <= highest; ++step, ++k) {
    const uint64_t rise = FirstReaching(step, low, high);
    steps.riseHigh[k] = static_cast<uint32_t>(rise >> 32);
    steps.riseLow[k] = static_cast<uint32_t>(rise);
    steps.inUse[k] = 1;
  }
  steps.valid = true;
  return steps;
}

const NoiseSteps& CachedNoiseSteps(double low, double high) {
  struct Cached {
    double low, high;
    bool filled;
    NoiseSteps steps;
  };
  thread_local Cached last{0.0, 0.0, false, NoiseSteps{}};
  if (!(last.filled && last.low == low && last.high == high)) {
    last = Cached{low, high, true, NoiseStepsFor(low, high)};
  }
  return last.steps;
}

}  // namespace kelvrix
