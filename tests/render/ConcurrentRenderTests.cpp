// Many frames rendered at once on several host threads through EffectMain: each frame has
// its own plan, worlds and noise engines; nothing may race or leak.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "render/BlockSearch.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::HostOptions;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::testing::BlockFeeder;

TEST(ConcurrentRender, FramesOnEightThreadsRenderCleanly) {
  for (PF_PixelFormat format :
       {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128}) {
    HostOptions options = kelvrix::testing::SmallProject(format, 96, 54);
    options.threads = 3;
    SimHost host(kelvrix::testing::LinkedPlugin(), options);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    host.Params()[1].u.fs_d.value = 60.0;
    ScopedFrameSearchSetupForTesting searches(kelvrix::testing::TimeLimit(200));
    BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
    std::atomic<int> rendered{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&, t] {
        for (int f = 0; f < 6; ++f) {
          auto frame = host.NewFrame(t * 10 + f);
          const PF_Err err = host.RenderFrame(*frame);
          EXPECT_EQ(err, PF_Err_NONE);
          if (err == PF_Err_NONE) ++rendered;
        }
      });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(rendered.load(), 48);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
    EXPECT_EQ(host.LiveEffectRefs(), 0u);
    EXPECT_EQ(host.Worlds().Live(), 0u);
  }
}

namespace {

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

}  // namespace

// Frames on four threads search blank memory against a budget of a few blocks: the searches
// share it, never hold more than it together, and each frame that finds it spent shows the
// card with result 0.
TEST(ConcurrentRender, SearchesShareOneBudgetAndAnExhaustedOneGivesTheCard) {
  HostOptions options;
  options.width = 96;
  options.height = 54;
  options.threads = 2;
  SimHost host(kelvrix::testing::LinkedPlugin(), options);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  host.Params()[1].u.fs_d.value = 60.0;
  SearchBudget budget(5 * 20000);  // a few of these frames' blocks
  gWatchedBudget = &budget;
  gMostHeld = 0;
  BlockSearchSetup setup = kelvrix::testing::TimeLimit(60000);  // only the budget ends them
  setup.source = BlockSource{WatchedBlankBlock, std::free};
  setup.budget = &budget;
  ScopedFrameSearchSetupForTesting searches(setup);
  std::atomic<int> cleanCards{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int f = 0; f < 3; ++f) {
        auto frame = host.NewFrame(t * 10 + f);
        const PF_Err err = host.RenderFrame(*frame);
        EXPECT_EQ(err, PF_Err_NONE);
        const auto* out = PixelAt<PF_Pixel8>(frame->output, 95, 53);
        const auto* in = PixelAt<PF_Pixel8>(frame->input, 95, 53);
        // The card dims the input to half; this corner holds no text.
        if (err == PF_Err_NONE && std::abs(out->blue - in->blue / 2) <= 1) ++cleanCards;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(cleanCards.load(), 12);
  EXPECT_GT(gMostHeld.load(), 0u);
  EXPECT_LE(gMostHeld.load(), budget.LimitBytes());
  EXPECT_EQ(budget.HeldBytes(), 0u);
  EXPECT_EQ(host.Worlds().Live(), 0u);
}
