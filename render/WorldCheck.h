// What a fill may do with the world the host gave it. A world without pixels is checked first:
// it needs no memory, no search and no temporary world, whatever its data pointer says.
#pragma once

#include <cstdint>

#include "hostapi/HostApi.h"

namespace kelvrix {

enum class WorldUse { kPaint, kNothingToPaint, kUnusable };

inline WorldUse CheckWorld(const PF_EffectWorld* world, int32_t pixelBytes) {
  if (world == nullptr || world->width < 0 || world->height < 0) return WorldUse::kUnusable;
  if (world->width == 0 || world->height == 0) return WorldUse::kNothingToPaint;
  if (world->data == nullptr || world->rowbytes / pixelBytes < world->width) {
    return WorldUse::kUnusable;
  }
  return WorldUse::kPaint;
}

}  // namespace kelvrix
