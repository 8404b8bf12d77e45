// Smart pre-render: reads Size and Style at the frame's time, builds the frame's RenderPlan,
// checks out the input with exactly the host's request and hands the plan to the host.
#pragma once

#include <cstdint>

#include "hostapi/HostApi.h"

namespace kelvrix {

PF_Err SmartPreRender(PF_InData* in_data, PF_OutData* out_data, PF_PreRenderExtra* extra);

// The Size slider's value as the memory image's side, before the style divides it: clamped
// to the slider's valid range 1..1000 (NaN: the default, 150), then rounded half away
// from zero.
int32_t RoundedSize(double sliderValue);

// The plan's size for a rounded Size and a StyleDepth: 16 bpc reads half the side and 32 bpc a
// quarter, rounded down but at least 1; other styles keep it. Every edition sizes its frames with
// this.
int32_t StyledSize(int32_t roundedSize, uint8_t style);

}  // namespace kelvrix
