#include "edition/WorldPool.h"

#include <cstring>
#include <new>

#include "edition/EditionWorld.h"

namespace kelvrix::edition {
namespace {

size_t BytesOf(const PF_EffectWorld& world) {
  return static_cast<size_t>(world.rowbytes) * static_cast<size_t>(world.height);
}

bool Deep(PF_PixelFormat format) { return format == PF_PixelFormat_ARGB64; }

}  // namespace

WorldPool::~WorldPool() { Purge(); }

PF_Err WorldPool::Take(A_long width, A_long height, PF_PixelFormat format, bool clear,
                       PF_EffectWorld* world) {
  const A_long rowbytes = width * PixelBytes(format);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = spare_.begin(); it != spare_.end(); ++it) {
      const bool deep = (it->world_flags & PF_WorldFlag_DEEP) != 0;
      if (it->width != width || it->height != height || it->rowbytes != rowbytes ||
          deep != Deep(format)) {
        continue;
      }
      *world = *it;
      spareBytes_ -= BytesOf(*it);
      spare_.erase(it);
      if (clear) std::memset(world->data, 0, BytesOf(*world));
      return PF_Err_NONE;
    }
  }
  return AllocateWorld(width, height, format, clear, world);
}

void WorldPool::Give(PF_EffectWorld* world) {
  if (world == nullptr || world->data == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (spareBytes_ + BytesOf(*world) <= kSpareBytes) {
      try {
        spare_.push_back(*world);
        spareBytes_ += BytesOf(*world);
        std::memset(world, 0, sizeof *world);
        return;
      } catch (const std::bad_alloc&) {
        // no room to keep it: freed below
      }
    }
  }
  FreeWorld(world);
}

void WorldPool::Purge() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (PF_EffectWorld& world : spare_) FreeWorld(&world);
  spare_.clear();
  spareBytes_ = 0;
}

}  // namespace kelvrix::edition
