#pragma once

namespace kelvrix::text {

// std::clamp(v, lo, hi) for floats, written as two selects that compile to max and min
// instructions: std::clamp works through references and became branches, which the rasterizer's
// inner loops mispredicted. The same result for every input, NaN included (it passes through).
// Requires lo <= hi.
inline float ClampFloat(float v, float lo, float hi) {
  const float low = v < lo ? lo : v;
  return hi < low ? hi : low;
}

// Clamps into [0, high] for high > 0; a NaN becomes 0, so no later conversion sees it.
inline float ClampZeroTo(float v, float high) { return v > 0.0f ? (v < high ? v : high) : 0.0f; }

}  // namespace kelvrix::text
