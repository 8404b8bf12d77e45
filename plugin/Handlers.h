// The command handlers EffectMain routes to.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix {

PF_Err About(PF_InData* in_data, PF_OutData* out_data);
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err SetupParams(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err SuperviseStyle(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      const PF_UserChangedParamExtra* extra);

}  // namespace kelvrix
