// A style whose depth differs from the output's: the fill runs into a temporary world of
// the style's depth, which is then converted pixel by pixel into the output, keeping the
// style's look (its steps and range) at the project's depth. Alpha is never converted.
#pragma once

#include "hostapi/HostApi.h"
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

// One channel of each pair's conversion (single-precision arithmetic).
A_u_char Convert16To8(A_u_short s);
A_u_char ConvertFloatTo8(float s);
A_u_short Convert8To16(A_u_char s);
A_u_short ConvertFloatTo16(float s);
float Convert8ToFloat(A_u_char s);
float Convert16ToFloat(A_u_short s);

}  // namespace kelvrix
