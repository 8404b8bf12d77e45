// How a block search runs: where its blocks come from, how long it may go on, and the budget
// its blocks are held against. Production renders use one fixed setup; tests give the search
// their own, either directly (through the list it fills) or, for whole frames rendered
// through the host, with the one seam below.
#pragma once

#include "render/BlockSource.h"
#include "render/SearchBudget.h"

namespace kelvrix {

constexpr int kSearchTimeLimitMs = 2000;

struct BlockSearchSetup {
  BlockSource source;
  int timeLimitMs;       // checked after each rejected block
  SearchBudget* budget;  // shared with every search running at the same time
};

// The process heap, kSearchTimeLimitMs and SearchBudget::Process().
const BlockSearchSetup& ProductionSearchSetup();

// What each frame's fill searches with: the production setup, or a test's while it has one
// in place.
const BlockSearchSetup& FrameSearchSetup();

// The renderer's test seam: while one lives, every frame's search uses `setup` (prepared
// blocks, a short time limit, a small budget). Made and dropped on one thread while no frame
// renders; they nest.
class ScopedFrameSearchSetupForTesting {
 public:
  explicit ScopedFrameSearchSetupForTesting(const BlockSearchSetup& setup);
  ~ScopedFrameSearchSetupForTesting();
  ScopedFrameSearchSetupForTesting(const ScopedFrameSearchSetupForTesting&) = delete;
  ScopedFrameSearchSetupForTesting& operator=(const ScopedFrameSearchSetupForTesting&) = delete;

 private:
  BlockSearchSetup setup_;
  const BlockSearchSetup* previous_;
};

}  // namespace kelvrix
