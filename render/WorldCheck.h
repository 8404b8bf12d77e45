// Whether a fill has anything to paint in the world the host gave it. A world without pixels
// is checked first: it needs no memory, no search and no temporary world, whatever its data
// pointer says.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "hostapi/HostApi.h"

namespace kelvrix {

// True when the fill must stop at once with *result: 0 for a world with no pixels,
// PF_Err_BAD_CALLBACK_PARAM for one it cannot address (null, a negative size, no data, rows
// shorter than the width). Rows are addressed with signed arithmetic, so a world whose rows run
// upwards in memory (negative rowbytes, as a bottom-up host buffer seen top row first) is
// painted like any other.
inline bool NothingToPaint(const PF_EffectWorld* world, int32_t pixelBytes, PF_Err* result) {
  if (world == nullptr || world->width < 0 || world->height < 0) {
    *result = PF_Err_BAD_CALLBACK_PARAM;
  } else if (world->width == 0 || world->height == 0) {
    *result = PF_Err_NONE;
  } else if (world->data == nullptr ||
             std::llabs(int64_t{world->rowbytes}) / pixelBytes < world->width) {
    *result = PF_Err_BAD_CALLBACK_PARAM;
  } else {
    return false;
  }
  return true;
}

}  // namespace kelvrix
