#include "edition/EditionWorld.h"

#include <cstdlib>
#include <cstring>

namespace kelvrix::edition {

A_long PixelBytes(PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB32:
      return static_cast<A_long>(sizeof(PF_Pixel8));
    case PF_PixelFormat_ARGB64:
      return static_cast<A_long>(sizeof(PF_Pixel16));
    case PF_PixelFormat_ARGB128:
      return static_cast<A_long>(sizeof(PF_PixelFloat));
    default:
      return 0;
  }
}

namespace {
PF_WorldFlags FlagsOf(PF_PixelFormat format) {
  return PF_WorldFlag_WRITEABLE | (format == PF_PixelFormat_ARGB64 ? PF_WorldFlag_DEEP : 0);
}
}  // namespace

PF_Err AllocateWorld(A_long width, A_long height, PF_PixelFormat format, bool clear,
                     PF_EffectWorld* world) {
  if (world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  std::memset(world, 0, sizeof *world);
  const A_long pixelBytes = PixelBytes(format);
  if (pixelBytes == 0 || !FitsLargestFrame(width, height)) return PF_Err_BAD_CALLBACK_PARAM;
  // At most 30000 x 16 bytes a row: rowbytes fits, and so does the product in a size_t.
  const A_long rowbytes = width * pixelBytes;
  const size_t bytes = static_cast<size_t>(rowbytes) * static_cast<size_t>(height);
  const size_t asked = bytes == 0 ? 1 : bytes;
  void* pixels = clear ? std::calloc(asked, 1) : std::malloc(asked);
  if (pixels == nullptr) return PF_Err_OUT_OF_MEMORY;
  world->data = static_cast<PF_PixelPtr>(pixels);
  world->rowbytes = rowbytes;
  world->width = width;
  world->height = height;
  world->extent_hint = PF_LRect{0, 0, width, height};
  world->pix_aspect_ratio = PF_RationalScale{1, 1};
  world->world_flags = FlagsOf(format);
  return PF_Err_NONE;
}

PF_EffectWorld WorldOver(void* top, A_long rowbytes, A_long width, A_long height,
                         PF_PixelFormat format) {
  PF_EffectWorld world{};
  world.data = static_cast<PF_PixelPtr>(top);
  world.rowbytes = rowbytes;
  world.width = width;
  world.height = height;
  world.extent_hint = PF_LRect{0, 0, width, height};
  world.pix_aspect_ratio = PF_RationalScale{1, 1};
  world.world_flags = FlagsOf(format);
  return world;
}

void FreeWorld(PF_EffectWorld* world) {
  if (world == nullptr) return;
  std::free(world->data);
  std::memset(world, 0, sizeof *world);
}

}  // namespace kelvrix::edition
