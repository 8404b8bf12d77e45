// The simulated host's iterate suites, as an effect sees them through SPBasicSuite.
#include <gtest/gtest.h>

#include <atomic>

#include "host/SimHost.h"

using namespace kelvrix::host;

namespace {

struct IterateFixture : ::testing::Test {
  SimHost host{PluginModule::Linked(nullptr, nullptr)};
  WorldSpec shape{};
  PF_EffectWorld world{};

  void SetUp() override {
    shape.width = 13;
    shape.height = 9;
    shape.format = PF_PixelFormat_ARGB64;
    shape.rowPaddingBytes = 8;
    shape.fillByte = 0;
    ASSERT_EQ(host.Worlds().Create(shape, &world), PF_Err_NONE);
  }
  void TearDown() override { host.Worlds().Dispose(&world); }

  const PF_Iterate16Suite2* Suite16() {
    const void* table = nullptr;
    EXPECT_EQ(host.Suites().Acquire(kPFIterate16Suite, 2, &table), kSPNoError);
    host.Suites().Release(kPFIterate16Suite, 2);
    return static_cast<const PF_Iterate16Suite2*>(table);
  }
};

PF_Err MarkPosition(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out) {
  static_cast<std::atomic<int>*>(refcon)->fetch_add(1);
  if (in != out) return 99;  // source and destination are the same world here
  out->red = static_cast<A_u_short>(x);
  out->green = static_cast<A_u_short>(y);
  out->alpha = 1;
  return PF_Err_NONE;
}

}  // namespace

TEST_F(IterateFixture, VisitsEachPixelOfTheAreaOnceAtItsOwnPosition) {
  std::atomic<int> calls{0};
  const PF_Rect area{2, 1, 11, 8};
  EXPECT_EQ(Suite16()->iterate(nullptr, 0, 7, &world, &area, &calls, MarkPosition, &world),
            PF_Err_NONE);
  EXPECT_EQ(calls.load(), 9 * 7);
  for (A_long y = 0; y < world.height; ++y) {
    for (A_long x = 0; x < world.width; ++x) {
      const PF_Pixel16* p = PixelAt<PF_Pixel16>(world, x, y);
      const bool inside = x >= 2 && x < 11 && y >= 1 && y < 8;
      EXPECT_EQ(p->alpha, inside ? 1 : 0) << x << "," << y;
      if (inside) {
        EXPECT_TRUE(p->red == x && p->green == y);
      }
    }
    const auto* padding = reinterpret_cast<const uint8_t*>(PixelAt<PF_Pixel16>(world, 13, y));
    for (int b = 0; b < 8; ++b) EXPECT_EQ(padding[b], 0);
  }
  const PF_Rect beyond{-5, -5, 100, 100};  // clipped to the world
  EXPECT_EQ(Suite16()->iterate(nullptr, 0, 1, &world, &beyond, &calls, MarkPosition, &world),
            PF_Err_NONE);
  EXPECT_EQ(calls.load(), 9 * 7 + 13 * 9);
}

// An injected failure comes back before any pixel; an armed abort stops part way.
TEST_F(IterateFixture, FailuresAndAbortsEndTheIterationWithTheirCode) {
  std::atomic<int> calls{0};
  host.Faults().Fail("iterate16", 1234, 0, 1);
  EXPECT_EQ(Suite16()->iterate(nullptr, 0, 1, &world, nullptr, &calls, MarkPosition, &world), 1234);
  EXPECT_EQ(calls.load(), 0);
  host.ArmIterateAbort(3);
  EXPECT_EQ(Suite16()->iterate(nullptr, 0, 1, &world, nullptr, &calls, MarkPosition, &world),
            PF_Interrupt_CANCEL);
  EXPECT_LT(calls.load(), 13 * 9);
  EXPECT_TRUE(host.AbortFired());
}

TEST_F(IterateFixture, GenericIterationHandsOutEveryIndexOnce) {
  const void* table = nullptr;
  ASSERT_EQ(host.Suites().Acquire(kPFIterate8Suite, 2, &table), kSPNoError);
  auto* suite = static_cast<const PF_Iterate8Suite2*>(table);
  std::vector<std::atomic<int>> seen(500);
  EXPECT_EQ(suite->iterate_generic(
                500, &seen,
                [](void* refcon, A_long thread, A_long i, A_long n) -> PF_Err {
                  if (n != 500 || thread < 0) return 1;
                  (*static_cast<std::vector<std::atomic<int>>*>(refcon))[static_cast<size_t>(i)]++;
                  return PF_Err_NONE;
                }),
            PF_Err_NONE);
  for (auto& n : seen) EXPECT_EQ(n.load(), 1);
  host.Suites().Release(kPFIterate8Suite, 2);
}
