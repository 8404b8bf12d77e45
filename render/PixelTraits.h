// Every per-depth rule of the renderer in one place: channel type, full value, pixel size,
// the dark test of the block search and how noise changes a memory sample. The 8/16/float
// families are written once as templates over these.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "hostapi/HostApi.h"
#include "render/RenderPlan.h"

namespace kelvrix {

// round-half-away-from-zero (as std::round) for |v| < 2^31, without a library call, a branch
// or a comparison: the noise pass rounds once per channel, its noise is random (a branch on the
// fraction would be mispredicted half the time), and conversions alone vectorise. The fraction
// v - trunc(v) is exact, so is twice it, and that truncates to +1 or -1 exactly when the
// fraction reaches a half.
inline int32_t RoundHalfAway(double v) {
  const int32_t whole = static_cast<int32_t>(v);  // toward zero
  const double fraction = v - static_cast<double>(whole);
  return whole + static_cast<int32_t>(2.0 * fraction);
}

// The same in single precision, for |v| < 2^31: the depth conversions round once per channel.
inline int32_t RoundHalfAway(float v) {
  const int32_t whole = static_cast<int32_t>(v);
  const float fraction = v - static_cast<float>(whole);
  return whole + static_cast<int32_t>(2.0f * fraction);
}

struct Depth8 {
  using Channel = uint8_t;
  using Pixel = PF_Pixel8;
  static constexpr int32_t kChannelBytes = 1;
  static constexpr int32_t kPixelBytes = 4;
  static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB32;
  static constexpr StyleDepth kStyle = kStyle8;
  static constexpr Channel kFull = 255;

  static bool IsDark(Channel s) { return s <= 3; }
  static double NoiseLow(const RenderPlan& plan) { return plan.noise8Low; }
  static double NoiseHigh(const RenderPlan& plan) { return plan.noise8High; }
  // The noise rounds to -1, 0 or +1; the sum is clamped to the channel.
  static Channel AddNoise(Channel s, double noise) {
    const int32_t v = s + RoundHalfAway(noise);
    return static_cast<Channel>(std::min(std::max(v, 0), 255));
  }
};

struct Depth16 {
  using Channel = uint16_t;
  using Pixel = PF_Pixel16;
  static constexpr int32_t kChannelBytes = 2;
  static constexpr int32_t kPixelBytes = 8;
  static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB64;
  static constexpr StyleDepth kStyle = kStyle16;
  static constexpr Channel kFull = 32768;  // the host's 16-bit white, not 65535

  static bool IsDark(Channel s) { return s <= 328; }
  static double NoiseLow(const RenderPlan& plan) { return plan.noise16Low; }
  static double NoiseHigh(const RenderPlan& plan) { return plan.noise16High; }
  // Raw 16-bit memory is halved: the host's 16-bit range ends at 32768.
  // Halving after the lower clamp is the same as clamping the halved value: r / 2 rounds toward
  // zero, so every r below 2 halves to 0 or less.
  static Channel AddNoise(Channel s, double noise) {
    const int32_t r = RoundHalfAway(static_cast<double>(s) + noise);
    return static_cast<Channel>(std::min(std::max(r, 0), 65535) / 2);
  }
};

struct DepthFloat {
  using Channel = float;
  using Pixel = PF_PixelFloat;
  static constexpr int32_t kChannelBytes = 4;
  static constexpr int32_t kPixelBytes = 16;
  static constexpr PF_PixelFormat kFormat = PF_PixelFormat_ARGB128;
  static constexpr StyleDepth kStyle = kStyleFloat;
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
