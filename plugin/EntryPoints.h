// The two functions the plug-in module exports.
#pragma once

#include "hostapi/HostApi.h"

extern "C" {

DllExport PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                            PF_ParamDef* params[], PF_LayerDef* output, void* extra);

DllExport PF_Err PluginDataEntryFunction(PF_PluginDataPtr inPtr,
                                         PF_PluginDataCB inPluginDataCallBackPtr,
                                         SPBasicSuite* inSPBasicSuitePtr, const char* inHostName,
                                         const char* inHostVersion);

}  // extern "C"
