#include "host/WorldStore.h"

#include <cstring>
#include <new>

namespace kelvrix::host {

A_long BytesPerPixel(PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB32:
    case PF_PixelFormat_BGRA32:  // formats a host may hand over that the effect leaves alone
    case PF_PixelFormat_VUYA32:
      return static_cast<A_long>(sizeof(PF_Pixel8));
    case PF_PixelFormat_ARGB64:
      return static_cast<A_long>(sizeof(PF_Pixel16));
    case PF_PixelFormat_ARGB128:
      return static_cast<A_long>(sizeof(PF_PixelFloat));
    default:
      return 0;
  }
}

WorldStore::~WorldStore() = default;

PF_Err WorldStore::Create(const WorldSpec& shape, PF_EffectWorld* world) {
  const A_long pixelBytes = BytesPerPixel(shape.format);
  if (world == nullptr || pixelBytes == 0 || shape.width < 0 || shape.height < 0 ||
      shape.width > PF_MAX_WORLD_WIDTH || shape.height > PF_MAX_WORLD_HEIGHT ||
      shape.rowPaddingBytes < 0 || shape.rowPaddingBytes > 4096) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const A_long rowbytes = shape.width * pixelBytes + shape.rowPaddingBytes;
  const size_t bytes = static_cast<size_t>(rowbytes) * static_cast<size_t>(shape.height);
  Allocation allocation;
  allocation.bytes = bytes == 0 ? 1 : bytes;
  allocation.pixels = TakePooled(allocation.bytes);
  if (!allocation.pixels) allocation.pixels.reset(new (std::nothrow) uint8_t[allocation.bytes]);
  if (!allocation.pixels) return PF_Err_OUT_OF_MEMORY;
  if (shape.fill) std::memset(allocation.pixels.get(), shape.fillByte, bytes);
  allocation.format = shape.format;

  std::memset(world, 0, sizeof *world);
  world->data = reinterpret_cast<PF_PixelPtr>(allocation.pixels.get());
  world->rowbytes = rowbytes;
  world->width = shape.width;
  world->height = shape.height;
  world->extent_hint = PF_LRect{0, 0, shape.width, shape.height};
  world->pix_aspect_ratio = PF_RationalScale{1, 1};
  world->origin_x = shape.origin.h;
  world->origin_y = shape.origin.v;
  world->world_flags =
      PF_WorldFlag_WRITEABLE | (shape.format == PF_PixelFormat_ARGB64 ? PF_WorldFlag_DEEP : 0);

  std::lock_guard<std::mutex> lock(mutex_);
  allocations_.emplace(world->data, std::move(allocation));
  return PF_Err_NONE;
}

PF_Err WorldStore::Dispose(PF_EffectWorld* world) {
  if (world == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = allocations_.find(world->data);
  if (it == allocations_.end()) return PF_Err_BAD_CALLBACK_PARAM;
  Pool(std::move(it->second));
  allocations_.erase(it);
  std::memset(world, 0, sizeof *world);
  return PF_Err_NONE;
}

PF_Err WorldStore::FormatOf(const PF_EffectWorld* world, PF_PixelFormat* format) const {
  if (world == nullptr || format == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = allocations_.find(world->data);
  if (it == allocations_.end()) {
    *format = PF_PixelFormat_INVALID;
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *format = it->second.format;
  return PF_Err_NONE;
}

std::unique_ptr<uint8_t[]> WorldStore::TakePooled(size_t bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = pool_.begin(); it != pool_.end(); ++it) {
    if (it->bytes == bytes) {
      std::unique_ptr<uint8_t[]> pixels = std::move(it->pixels);
      pooledBytes_ -= bytes;
      pool_.erase(it);
      return pixels;
    }
  }
  return nullptr;
}

// Called with mutex_ held.
void WorldStore::Pool(Allocation allocation) {
  if (allocation.bytes > kPoolBytes) return;
  while (!pool_.empty() &&
         (pool_.size() >= kPoolWorlds || pooledBytes_ + allocation.bytes > kPoolBytes)) {
    pooledBytes_ -= pool_.front().bytes;
    pool_.erase(pool_.begin());
  }
  pooledBytes_ += allocation.bytes;
  pool_.push_back(std::move(allocation));
}

size_t WorldStore::Live() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return allocations_.size();
}

}  // namespace kelvrix::host
