#include "plugin/EffectReference.h"

#include "plugin/GlobalData.h"

namespace kelvrix {

A_Err RequestEffectReference(SuiteHandler& suites, const PF_InData* in_data,
                             const PF_OutData* out_data) {
  AEGP_PluginID pluginId = 0;
  if (!ReadPluginId(out_data, &pluginId)) return A_Err_NONE;
  AEGP_EffectRefH effect = nullptr;
  const A_Err err = suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(
      pluginId, in_data->effect_ref, &effect);
  if (effect != nullptr) {
    try {
      suites.EffectSuite4()->AEGP_DisposeEffect(effect);
    } catch (int) {
      // No way to give it back; the request itself still answered.
    }
  }
  return err;
}

}  // namespace kelvrix
