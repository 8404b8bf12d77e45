// Pixel storage of the simulated host: worlds in the three pixel formats, with rows that
// may be padded beyond their pixels, as the host hands them to effects.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "hostapi/HostApi.h"

namespace kelvrix::host {

// Bytes per pixel of the formats the host can make; 0 for anything else.
A_long BytesPerPixel(PF_PixelFormat format);

struct WorldSpec {
  A_long width = 0;
  A_long height = 0;
  PF_PixelFormat format = PF_PixelFormat_ARGB32;
  A_long rowPaddingBytes = 0;  // extra bytes at the end of every row
  PF_Point origin{0, 0};
  // Pixels start as this byte everywhere (padding included), so reads of pixels nobody
  // wrote show up as a recognisable pattern rather than as zeros.
  uint8_t fillByte = 0xCD;
  bool fill = true;  // false: the pixels are left as the allocator gave them
};

class WorldStore {
 public:
  ~WorldStore();

  // Allocates pixels for `world` (a record the caller owns) and fills the record.
  PF_Err Create(const WorldSpec& shape, PF_EffectWorld* world);
  // Frees a world this store created; its record is cleared. Unknown worlds are refused.
  PF_Err Dispose(PF_EffectWorld* world);
  // The format of a world this store created.
  PF_Err FormatOf(const PF_EffectWorld* world, PF_PixelFormat* format) const;

  size_t Live() const;

 private:
  struct Allocation {
    std::unique_ptr<uint8_t[]> pixels;
    size_t bytes = 0;
    PF_PixelFormat format = PF_PixelFormat_INVALID;
  };
  // Like a host's world cache, pixels of disposed worlds are kept for the next world of the
  // same size, up to a bound, instead of going back to the system (and coming back as fresh,
  // page-faulting memory) every frame.
  static constexpr size_t kPoolBytes = size_t{1} << 30;
  static constexpr size_t kPoolWorlds = 8;
  std::unique_ptr<uint8_t[]> TakePooled(size_t bytes);
  void Pool(Allocation allocation);

  mutable std::mutex mutex_;
  std::map<const void*, Allocation> allocations_;
  std::vector<Allocation> pool_;
  size_t pooledBytes_ = 0;
};

// Pixel (x, y) of a world, honouring rowbytes.
template <typename Pixel>
Pixel* PixelAt(const PF_EffectWorld& world, A_long x, A_long y) {
  auto* row = reinterpret_cast<uint8_t*>(world.data) + static_cast<ptrdiff_t>(y) * world.rowbytes;
  return reinterpret_cast<Pixel*>(row) + x;
}

}  // namespace kelvrix::host
