// Smart render: takes the frame's plan back, checks out input and output, and renders the
// frame: one of nine fill routines by output depth and style, then full alpha over the
// output's extent (or, when no usable memory turned up, the message card).
#pragma once

#include "hostapi/HostApi.h"
#include "plugin/SuiteHandler.h"
#include "render/RenderPlan.h"

namespace kelvrix {

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra);

PF_Err RenderFrame(PF_InData* in_data, PF_OutData* out_data, PF_PixelFormat format,
                   PF_EffectWorld* input, PF_EffectWorld* output, RenderPlan* plan);

// Per-pixel finishing pass: full alpha (255, 32768, 1.0) into the output pixel only.
PF_Err SetFullAlpha8(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out);
PF_Err SetFullAlpha16(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out);
PF_Err SetFullAlphaFloat(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out);

}  // namespace kelvrix
