#include "plugin/Handlers.h"
#include "plugin/Identity.h"

namespace kelvrix {

PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
  PF_SPRINTF(out_data->return_msg, kAboutFormat, kDisplayName, static_cast<int>(kMajorVersion),
             static_cast<int>(kMinorVersion), static_cast<int>(kBugVersion), kAboutTagline);
  return PF_Err_NONE;
}

}  // namespace kelvrix
