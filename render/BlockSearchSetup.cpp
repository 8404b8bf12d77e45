#include "render/BlockSearchSetup.h"

#include <atomic>

namespace kelvrix {
namespace {

std::atomic<const BlockSearchSetup*> gTestSetup{nullptr};

}  // namespace

const BlockSearchSetup& ProductionSearchSetup() {
  static const BlockSearchSetup setup{ProcessHeapBlocks(), kSearchTimeLimitMs,
                                      &SearchBudget::Process()};
  return setup;
}

const BlockSearchSetup& FrameSearchSetup() {
  const BlockSearchSetup* test = gTestSetup.load(std::memory_order_acquire);
  return test != nullptr ? *test : ProductionSearchSetup();
}

ScopedFrameSearchSetupForTesting::ScopedFrameSearchSetupForTesting(const BlockSearchSetup& setup)
    : setup_(setup), previous_(gTestSetup.exchange(&setup_, std::memory_order_acq_rel)) {}

ScopedFrameSearchSetupForTesting::~ScopedFrameSearchSetupForTesting() {
  gTestSetup.store(previous_, std::memory_order_release);
}

}  // namespace kelvrix
