// Worlds an edition makes itself: the frames it hands the core and the core's temporary worlds.
// Rows are packed (rowbytes = width x pixel size); pixels come from the C heap.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix::edition {

// The largest frame any edition renders: the After Effects world's limits, 30000 x 30000.
constexpr A_long kMaxFrameWidth = PF_MAX_WORLD_WIDTH;
constexpr A_long kMaxFrameHeight = PF_MAX_WORLD_HEIGHT;

// Sides from 0 up to the largest frame.
inline bool FitsLargestFrame(long long width, long long height) {
  return width >= 0 && height >= 0 && width <= kMaxFrameWidth && height <= kMaxFrameHeight;
}

// A frame with pixels that fits: what an edition can render.
inline bool RenderableFrame(long long width, long long height) {
  return width > 0 && height > 0 && FitsLargestFrame(width, height);
}

// Bytes per pixel of the three formats the core renders; 0 for any other.
A_long PixelBytes(PF_PixelFormat format);

// Fills *world with a new world of width x height pixels in `format`, cleared to zero when
// `clear`, else as the heap gives it. Sides that FitsLargestFrame. Returns
// PF_Err_BAD_CALLBACK_PARAM for a side or format out of range and PF_Err_OUT_OF_MEMORY when
// the pixels cannot be had; *world is then cleared.
PF_Err AllocateWorld(A_long width, A_long height, PF_PixelFormat format, bool clear,
                     PF_EffectWorld* world);

// A world over pixels the caller owns and keeps: `top` is the first pixel of the top row, rows
// `rowbytes` apart (negative when they run upwards in memory). Nothing to free.
PF_EffectWorld WorldOver(void* top, A_long rowbytes, A_long width, A_long height,
                         PF_PixelFormat format);

// Frees the pixels of a world from AllocateWorld and clears the record (a cleared record is
// fine).
void FreeWorld(PF_EffectWorld* world);

}  // namespace kelvrix::edition
