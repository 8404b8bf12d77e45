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

}  // namespace kelvrix::text
