#include "plugin/GlobalData.h"

namespace kelvrix {

bool ReadPluginId(const PF_OutData* out_data, AEGP_PluginID* plugin_id) {
  if (out_data == nullptr || out_data->global_data == nullptr) return false;
  const auto* data = static_cast<const GlobalData*>(*out_data->global_data);
  if (data == nullptr || data->setupFlag != 1) return false;
  *plugin_id = data->aegpPluginId;
  return true;
}

}  // namespace kelvrix
