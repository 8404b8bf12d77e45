// A style whose depth differs from the output's: the fill runs into a temporary world of
// the style's depth, which is then converted pixel by pixel into the output, keeping the
// style's look (its steps and range) at the project's depth. Alpha is never converted.
#pragma once

#include "hostapi/HostApi.h"
#include "render/PixelTraits.h"
#include "render/RenderPlan.h"

namespace kelvrix {

// RenderCrossDepth<style>To<output>. Each returns the fill's result; a temporary world the
// host cannot make ends the call with the host's error (nothing is filled or converted).
PF_Err RenderCrossDepth16To8(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                             PF_OutData* out_data);
PF_Err RenderCrossDepthFloatTo8(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                                PF_OutData* out_data);
PF_Err RenderCrossDepth8To16(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                             PF_OutData* out_data);
PF_Err RenderCrossDepthFloatTo16(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                                 PF_OutData* out_data);
PF_Err RenderCrossDepth8ToFloat(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                                PF_OutData* out_data);
PF_Err RenderCrossDepth16ToFloat(RenderPlan& plan, PF_EffectWorld* output, PF_InData* in_data,
                                 PF_OutData* out_data);

// clamp(round-half-away(v), 0, max): the upper bound first, with a comparison that gives max
// for NaN, then the lower bound. Rounding is monotonic and maps 0 and max to themselves, so
// clamping first gives the same result and keeps NaN and infinity away from the conversion.
inline int32_t ClampRounded(float v, float max) {
  v = v < max ? v : max;
  v = v > 0.0f ? v : 0.0f;
  return RoundHalfAway(v);
}

// One channel of each pair's conversion (single-precision arithmetic). Inline: they run once
// per channel of every converted frame.
inline A_u_char Convert16To8(A_u_short s) {
  // Not clamped: the fill's 16-bit values end at 32767, which gives 255. Through int, so a
  // larger value wraps instead of overflowing the conversion.
  return static_cast<A_u_char>(RoundHalfAway(static_cast<float>(s) * 0.007781982421875f));
}
inline A_u_char ConvertFloatTo8(float s) {
  return static_cast<A_u_char>(ClampRounded(s * 255.0f, 255.0f));
}
inline A_u_short Convert8To16(A_u_char s) {
  return static_cast<A_u_short>(s * 128);  // 255 gives 32640: the 8-bit look keeps its steps
}
inline A_u_short ConvertFloatTo16(float s) {
  return static_cast<A_u_short>(ClampRounded(s * 32768.0f, 32768.0f));
}
inline float Convert8ToFloat(A_u_char s) { return static_cast<float>(s) * 0.003921568859368563f; }
inline float Convert16ToFloat(A_u_short s) { return static_cast<float>(s) * 0.000030517578125f; }

}  // namespace kelvrix
