// Every per-depth rule of the renderer in one place: channel type, full value, pixel size,
// the dark test of the block search and how noise changes a memory sample. The 8/16/float
// families are written once as templates over these.
#pragma once

#include <cmath>
#include <cstdint>

#include "hostapi/HostApi.h"
#include "render/BlockSearch.h"
#include "render/NativeFill.h"
#include "render/RenderPlan.h"

namespace kelvrix {

// round-half-away-from-zero (as std::round) for |v| < 2^62, without a library call: the
// noise pass rounds once per channel.
inline long RoundHalfAway(double v) {
  long i = static_cast<long>(v);  // toward zero
  const double fraction = v - static_cast<double>(i);
  if (fraction >= 0.5) {
    ++i;
  } else if (fraction <= -0.5) {
    --i;
  }
  return i;
}

// The same in single precision, for |v| < 2^31: the depth conversions round once per channel.
inline int32_t RoundHalfAway(float v) {
  int32_t i = static_cast<int32_t>(v);
  const float fraction = v - static_cast<float>(i);
  if (fraction >= 0.5f) {
    ++i;
  } else if (fraction <= -0.5f) {
    --i;
  }
  return i;
}

struct Depth8 {
  using Channel = uint8_t;
  using Pixel = PF_Pixel8;
  static constexpr int32_t kChannelBytes = 1;
  static constexpr int32_t kPixelBytes = 4;
  static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB32;
  static constexpr StyleDepth kStyle = kStyle8;
  // The search, its decision and the fill of this depth.
  static constexpr auto kFindBlock = FindMemoryBlock8;
  static constexpr auto kFill = FillFromMemory8;
  static constexpr auto kIsBlockUsable = IsBlockUsable8;
  static constexpr Channel kFull = 255;

  static bool IsDark(Channel s) { return s <= 3; }
  static double NoiseLow(const RenderPlan& plan) { return plan.noise8Low; }
  static double NoiseHigh(const RenderPlan& plan) { return plan.noise8High; }
  // The noise rounds to -1, 0 or +1; the sum is clamped to the channel.
  static Channel AddNoise(Channel s, double noise) {
    const long v = s + RoundHalfAway(noise);
    return static_cast<Channel>(v < 0 ? 0 : (v > 255 ? 255 : v));
  }
};

struct Depth16 {
  using Channel = uint16_t;
  using Pixel = PF_Pixel16;
  static constexpr int32_t kChannelBytes = 2;
  static constexpr int32_t kPixelBytes = 8;
  static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB64;
  static constexpr StyleDepth kStyle = kStyle16;
  static constexpr auto kFindBlock = FindMemoryBlock16;
  static constexpr auto kFill = FillFromMemory16;
  static constexpr auto kIsBlockUsable = IsBlockUsable16;
  static constexpr Channel kFull = 32768;  // the host's 16-bit white, not 65535

  static bool IsDark(Channel s) { return s <= 328; }
  static double NoiseLow(const RenderPlan& plan) { return plan.noise16Low; }
  static double NoiseHigh(const RenderPlan& plan) { return plan.noise16High; }
  // Raw 16-bit memory is halved: the host's 16-bit range ends at 32768.
  static Channel AddNoise(Channel s, double noise) {
    long r = RoundHalfAway(static_cast<double>(s) + noise);
    if (r > 65535) r = 65535;
    const long half = r / 2;
    return static_cast<Channel>(half < 0 ? 0 : half);
  }
};

struct DepthFloat {
  using Channel = float;
  using Pixel = PF_PixelFloat;
  static constexpr int32_t kChannelBytes = 4;
  static constexpr int32_t kPixelBytes = 16;
  static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB128;
  static constexpr StyleDepth kStyle = kStyleFloat;
  static constexpr auto kFindBlock = FindMemoryBlockFloat;
  static constexpr auto kFill = FillFromMemoryFloat;
  static constexpr auto kIsBlockUsable = IsBlockUsableFloat;
  static constexpr Channel kFull = 1.0f;

  // NaN, zero, negatives and -infinity are dark: only "greater than 0.01" is not.
  static bool IsDark(Channel s) { return !(s > 0.01f); }
  static double NoiseLow(const RenderPlan& plan) { return plan.noiseFloatLow; }
  static double NoiseHigh(const RenderPlan& plan) { return plan.noiseFloatHigh; }
  // Not clamped: NaN and infinity are part of the look.
  static Channel AddNoise(Channel s, double noise) {
    return static_cast<Channel>(static_cast<double>(s) + noise);
  }
};

}  // namespace kelvrix
