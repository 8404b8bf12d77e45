// The 8-byte block behind the host's global data handle.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix {

struct GlobalData {
  A_Boolean setupFlag;
  AEGP_PluginID aegpPluginId;
};
static_assert(sizeof(GlobalData) == 8, "the host allocates exactly 8 bytes for it");

// The plug-in id behind out_data->global_data. False when global setup left no global data
// (no handle, or a handle whose block is gone); the id is never read from an unset block.
bool ReadPluginId(const PF_OutData* out_data, AEGP_PluginID* plugin_id);

}  // namespace kelvrix
