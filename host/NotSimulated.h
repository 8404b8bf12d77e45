// Stand-in for host functions the simulation does not provide: any signature, always
// PF_Err_INVALID_CALLBACK, so a plug-in that calls one gets an error instead of a crash.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix::host {

template <typename... Args>
PF_Err NotSimulated(Args...) {
  return PF_Err_INVALID_CALLBACK;
}

}  // namespace kelvrix::host
