// The effect's AEGP effect reference. The host hands out a new one on request and expects
// it back; nothing in the effect uses it beyond the asking.
#pragma once

#include "hostapi/HostApi.h"
#include "plugin/SuiteHandler.h"

namespace kelvrix {

// Asks the host for this instance's AEGP effect reference under the plug-in id kept in the
// global data, then gives the reference back. Returns the host's answer to the request.
// Without global data there is no plug-in id to ask with, and nothing is asked: the
// result is PF_Err_NONE. Throws 516 when "AEGP PF Interface Suite" is missing. A missing
// "AEGP Effect Suite" leaves the reference with the host rather than failing the command.
A_Err RequestEffectReference(SuiteHandler& suites, const PF_InData* in_data,
                             const PF_OutData* out_data);

}  // namespace kelvrix
