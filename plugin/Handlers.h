// The command handlers EffectMain routes to.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix {

PF_Err About(PF_InData* in_data, PF_OutData* out_data);
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);

}  // namespace kelvrix
