// The host's pixel and index iteration, run on the worker pool.
#pragma once

#include "host/SuiteRegistry.h"
#include "hostapi/HostApi.h"

namespace kelvrix::host {

void RegisterIterateSuites(SuiteRegistry& suites);

PF_Err Iterate8(PF_InData* in_data, A_long progress_base, A_long progress_final,
                PF_EffectWorld* src, const PF_Rect* area, void* refcon, PF_IteratePixel8Func pix_fn,
                PF_EffectWorld* dst);
PF_Err Iterate16(PF_InData* in_data, A_long progress_base, A_long progress_final,
                 PF_EffectWorld* src, const PF_Rect* area, void* refcon,
                 PF_IteratePixel16Func pix_fn, PF_EffectWorld* dst);
PF_Err IterateGeneric(A_long iterations, void* refcon, PF_IterateGenericFunc fn);

}  // namespace kelvrix::host
