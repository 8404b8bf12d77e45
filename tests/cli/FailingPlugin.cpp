// A stand-in plug-in module for the renderer's failure tests: it registers, sets up and
// declares the effect's parameters like kelvrix, renders nothing, and returns
// PF_Err_OUT_OF_MEMORY with a message from smart render for every frame at or after the time
// in KELVRIX_TEST_FAIL_FROM_FRAME (default 0).
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "hostapi/HostApi.h"

extern "C" {

DllExport PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**,
                            PF_LayerDef*, void*) {
  const char* from = std::getenv("KELVRIX_TEST_FAIL_FROM_FRAME");
  PF_Err err = PF_Err_NONE;
  PF_ParamDef def{};
  if (cmd == PF_Cmd_PARAMS_SETUP) out_data->num_params = 6;
  for (PF_ParamType type : {PF_Param_FLOAT_SLIDER, PF_Param_GROUP_START, PF_Param_CHECKBOX,
                            PF_Param_CHECKBOX, PF_Param_CHECKBOX}) {
    def.param_type = type;
    if (cmd == PF_Cmd_PARAMS_SETUP && !err)
      err = in_data->inter.add_param(in_data->effect_ref, -1, &def);
  }
  if (cmd == PF_Cmd_SMART_RENDER && in_data->current_time >= (from ? std::atol(from) : 0)) {
    std::snprintf(out_data->return_msg, sizeof out_data->return_msg, "test module gave up");
    return PF_Err_OUT_OF_MEMORY;
  }
  return err;
}

DllExport PF_Err PluginDataEntryFunction(PF_PluginDataPtr inPtr, PF_PluginDataCB callback,
                                         SPBasicSuite*, const char*, const char*) {
  const auto text = [](const char* s) { return reinterpret_cast<const A_u_char*>(s); };
  return callback(inPtr, text("failing"), text("TEST failing"), text("Test"), text("EffectMain"),
                  PF_MultiCharCode("eFKT"), 13, 28, 0);
}

}  // extern "C"
