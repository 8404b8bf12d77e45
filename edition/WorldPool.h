// An instance's spare worlds. A render may need a world of the whole frame for the core to
// render into or for its input; fresh ones of that size come from the system as new pages,
// whose first touch costs more than the rest of a frame's copy, and a frame-sized block freed
// every frame would change the very heap the effect shows. So the worlds of one render are kept
// for the next. Renders of one instance on several threads take and give under one lock, each
// its own world.
#pragma once

#include <mutex>
#include <vector>

#include "hostapi/HostApi.h"

namespace kelvrix::edition {

class WorldPool {
 public:
  WorldPool() = default;
  ~WorldPool();
  WorldPool(const WorldPool&) = delete;
  WorldPool& operator=(const WorldPool&) = delete;

  // A world of width x height in `format`: a spare one of exactly that shape, else a new one;
  // all zero when `clear`. Errors as AllocateWorld's.
  PF_Err Take(A_long width, A_long height, PF_PixelFormat format, bool clear,
              PF_EffectWorld* world);
  // Keeps the world for the next Take (freed at once beyond kSpareBytes); clears the record.
  void Give(PF_EffectWorld* world);
  // Frees every spare world (the host's purge-caches action).
  void Purge();

  static constexpr size_t kSpareBytes = size_t{256} << 20;

 private:
  std::mutex mutex_;
  std::vector<PF_EffectWorld> spare_;
  size_t spareBytes_ = 0;
};

// A world taken from a pool and given back on every way out.
class PooledWorld {
 public:
  explicit PooledWorld(WorldPool& pool) : pool_(pool) {}
  ~PooledWorld() { pool_.Give(&world_); }
  PooledWorld(const PooledWorld&) = delete;
  PooledWorld& operator=(const PooledWorld&) = delete;
  PF_Err Take(A_long width, A_long height, PF_PixelFormat format, bool clear) {
    return pool_.Take(width, height, format, clear, &world_);
  }
  PF_EffectWorld* get() { return &world_; }

 private:
  WorldPool& pool_;
  PF_EffectWorld world_{};
};

}  // namespace kelvrix::edition
