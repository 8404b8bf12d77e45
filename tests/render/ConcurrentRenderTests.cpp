// Many frames rendered at once on several host threads through EffectMain: each frame has
// its own plan, worlds and noise engines; nothing may race or leak.
#include <gtest/gtest.h>

#include <atomic>
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
    SetSearchTimeLimitForTesting(200);
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
    SetSearchTimeLimitForTesting(-1);
    EXPECT_EQ(rendered.load(), 48);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
    EXPECT_EQ(host.LiveEffectRefs(), 0u);
    EXPECT_EQ(host.Worlds().Live(), 0u);
  }
}
