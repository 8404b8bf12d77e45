// An instance's spare worlds. Every render needs a world of the whole frame for the core to
// render into (and one for the source); fresh ones of that size come from the system as new
// pages, whose first touch costs more than the rest of a frame's copy, so the worlds of one
// render are kept for the next. Renders on several threads take and give under one lock.
#pragma once

#include <mutex>
#include <vector>

#include "hostapi/HostApi.h"

namespace kelvrix::ofx {

class WorldPool {
 public:
  WorldPool() = default;
  ~WorldPool();
  WorldPool(const WorldPool&) = delete;
  WorldPool& operator=(const WorldPool&) = delete;

  // A world of width x height in `format`: a spare one of exactly that shape, else a new one;
  // all zero when `clear`. Errors as edition::AllocateWorld's.
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

}  // namespace kelvrix::ofx
