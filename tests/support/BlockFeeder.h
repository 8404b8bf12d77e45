// Puts known bytes where the memory search finds them: while a feeder lives, every frame's
// search (and FrameSearchSetup()) is served from a queue of prepared contents, then by a
// fallback (blank blocks, which are always rejected; failures; or the heap as it is). Frames
// it feeds render one at a time: it holds no lock.
#pragma once

#include <cstdlib>
#include <deque>
#include <vector>

#include "render/BlockSearch.h"

namespace kelvrix::testing {

// Frames search for at most `milliseconds`, with the rest of the setup in force.
inline BlockSearchSetup TimeLimit(int milliseconds) {
  BlockSearchSetup setup = FrameSearchSetup();
  setup.timeLimitMs = milliseconds;
  return setup;
}

class BlockFeeder {
 public:
  enum class Fallback { kHeap, kBlank, kFail };

  explicit BlockFeeder(Fallback fallback = Fallback::kBlank) {
    queue_.clear();
    fallback_ = fallback;
    allocations_ = 0;
  }
  // The next allocation gets these bytes, repeated to its size.
  void Queue(std::vector<uint8_t> bytes) { queue_.push_back(std::move(bytes)); }
  int Allocations() const { return allocations_; }

 private:
  static void* Allocate(size_t size) {
    ++allocations_;
    if (queue_.empty()) {
      if (fallback_ == Fallback::kFail) return nullptr;
      return fallback_ == Fallback::kBlank ? std::calloc(size == 0 ? 1 : size, 1)
                                           : std::malloc(size);
    }
    const std::vector<uint8_t> pattern = std::move(queue_.front());
    queue_.pop_front();
    auto* block = static_cast<uint8_t*>(std::malloc(size == 0 ? 1 : size));
    for (size_t i = 0; block != nullptr && i < size; ++i) block[i] = pattern[i % pattern.size()];
    return block;
  }

  inline static std::deque<std::vector<uint8_t>> queue_;
  inline static Fallback fallback_ = Fallback::kBlank;
  inline static int allocations_ = 0;
  ScopedFrameSearchSetupForTesting frames_{BlockSearchSetup{
      BlockSource{Allocate, std::free}, FrameSearchSetup().timeLimitMs, FrameSearchSetup().budget}};
};

}  // namespace kelvrix::testing
