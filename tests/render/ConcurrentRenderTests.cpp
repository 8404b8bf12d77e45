// Many frames rendered at once on several host threads through EffectMain: each frame has
// its own plan, worlds and noise engines; nothing may race or leak.
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::Frame;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;

namespace {

// A 96x54 project at Size 60 whose host runs iterations on `hostThreads` threads.
std::unique_ptr<SimHost> Project(PF_PixelFormat format, int hostThreads) {
  host::HostOptions options = kelvrix::testing::SmallProject(format, 96, 54);
  options.threads = hostThreads;
  auto host = std::make_unique<SimHost>(kelvrix::testing::LinkedPlugin(), options);
  EXPECT_TRUE(kelvrix::testing::SetUpInstance(*host, 1));
  host->Params()[1].u.fs_d.value = 60.0;
  return host;
}

// `frames` frames on each of `threads` threads, each rendered, then handed to `check`.
void RenderOnThreads(SimHost& host, int threads, int frames,
                     const std::function<void(const Frame&)>& check) {
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t) {
    running.emplace_back([&, t] {
      for (int f = 0; f < frames; ++f) {
        auto frame = host.NewFrame(t * 10 + f);
        EXPECT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
        check(*frame);
      }
    });
  }
  for (auto& thread : running) thread.join();
}

TEST(ConcurrentRender, FramesOnEightThreadsRenderCleanly) {
  ScopedFrameSearchSetupForTesting searches(kelvrix::testing::TimeLimit(200));
  for (PF_PixelFormat format :
       {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128}) {
    std::unique_ptr<SimHost> host = Project(format, 3);
    RenderOnThreads(*host, 8, 6, [](const Frame&) {});
    kelvrix::testing::ExpectAllGivenBack(*host);
    EXPECT_EQ(host->Worlds().Live(), 0u);
  }
}

// Blank blocks that note the most the budget ever held, read at each allocation (when the
// block's bytes are already reserved).
SearchBudget* gWatchedBudget = nullptr;
std::atomic<size_t> gMostHeld{0};

void* WatchedBlankBlock(size_t bytes) {
  const size_t held = gWatchedBudget->HeldBytes();
  size_t most = gMostHeld.load();
  while (held > most && !gMostHeld.compare_exchange_weak(most, held)) {
  }
  return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

// Frames on four threads search blank memory against a budget of a few blocks: the searches
// share it, never hold more than it together, and every frame shows the card with result 0.
TEST(ConcurrentRender, SearchesShareOneBudgetAndAnExhaustedOneGivesTheCard) {
  std::unique_ptr<SimHost> host = Project(PF_PixelFormat_ARGB32, 2);
  SearchBudget budget(5 * 20000);  // a few of these frames' blocks
  gWatchedBudget = &budget;
  gMostHeld = 0;
  BlockSearchSetup setup = kelvrix::testing::TimeLimit(60000);  // only the budget ends them
  setup.source = BlockSource{WatchedBlankBlock, std::free};
  setup.budget = &budget;
  ScopedFrameSearchSetupForTesting searches(setup);
  RenderOnThreads(*host, 4, 3, [](const Frame& frame) {
    // The card dims the input to half; this corner holds no text.
    EXPECT_NEAR(PixelAt<PF_Pixel8>(frame.output, 95, 53)->blue,
                PixelAt<PF_Pixel8>(frame.input, 95, 53)->blue / 2, 1);
  });
  EXPECT_GT(gMostHeld.load(), 0u);
  EXPECT_LE(gMostHeld.load(), budget.LimitBytes());
  EXPECT_EQ(budget.HeldBytes(), 0u);
  EXPECT_EQ(host->Worlds().Live(), 0u);
}

}  // namespace
