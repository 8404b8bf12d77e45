// Puts known bytes where the memory search finds them: while installed, every frame's search
// is served from a queue of prepared contents, then by a fallback (blank, zero-filled blocks
// that are always rejected; failures; or the heap as it is). Setup() gives the same source
// to a search run directly. TimeLimit() shortens every frame's search while it lives.
#pragma once

#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
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

  explicit BlockFeeder(Fallback fallback = Fallback::kBlank) : frames_(Installed()) {
    State& s = Get();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.queue.clear();
    s.fallback = fallback;
    s.allocations = 0;
  }
  BlockFeeder(const BlockFeeder&) = delete;
  BlockFeeder& operator=(const BlockFeeder&) = delete;

  // The frame setup with the feeder's blocks.
  static BlockSearchSetup Installed() {
    BlockSearchSetup setup = FrameSearchSetup();
    setup.source = BlockSource{Allocate, std::free};
    return setup;
  }
  BlockSearchSetup Setup() const { return FrameSearchSetup(); }

  // The next allocation gets these bytes, repeated to its size.
  void Queue(std::vector<uint8_t> bytes) {
    State& s = Get();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.queue.push_back(std::move(bytes));
  }
  int Allocations() const {
    State& s = Get();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.allocations;
  }

 private:
  struct State {
    std::mutex mutex;
    std::deque<std::vector<uint8_t>> queue;
    Fallback fallback = Fallback::kBlank;
    int allocations = 0;
  };
  static State& Get() {
    static State state;
    return state;
  }
  static void* Allocate(size_t size) {
    State& s = Get();
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.allocations;
    if (!s.queue.empty()) {
      std::vector<uint8_t> pattern = std::move(s.queue.front());
      s.queue.pop_front();
      auto* block = static_cast<uint8_t*>(std::malloc(size == 0 ? 1 : size));
      for (size_t i = 0; block != nullptr && !pattern.empty() && i < size; ++i) {
        block[i] = pattern[i % pattern.size()];
      }
      return block;
    }
    switch (s.fallback) {
      case Fallback::kBlank:
        return std::calloc(size == 0 ? 1 : size, 1);
      case Fallback::kFail:
        return nullptr;
      case Fallback::kHeap:
      default:
        return std::malloc(size);
    }
  }

  ScopedFrameSearchSetupForTesting frames_;
};

}  // namespace kelvrix::testing
