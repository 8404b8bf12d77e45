// The simulated host's iterate suites, as an effect sees them through SPBasicSuite.
#include <gtest/gtest.h>

#include <atomic>

#include "host/SimHost.h"

using namespace kelvrix::host;

namespace {

// Writes each pixel's own position into it; source and destination are the same world here.
PF_Err MarkPosition(void* refcon, A_long x, A_long y, PF_Pixel16* in, PF_Pixel16* out) {
  static_cast<std::atomic<int>*>(refcon)->fetch_add(1);
  *out = {1, static_cast<A_u_short>(x), static_cast<A_u_short>(y), 0};
  return in == out ? PF_Err_NONE : 99;
}

}  // namespace

TEST(Iterate, VisitsEachPixelOfTheAreaOnceAtItsOwnPositionAndClipsToTheWorld) {
  SimHost host{PluginModule::Linked(nullptr, nullptr)};
  WorldSpec shape{};
  shape.width = 13;
  shape.height = 9;
  shape.format = PF_PixelFormat_ARGB64;
  shape.rowPaddingBytes = 8;
  shape.fillByte = 0;
  PF_EffectWorld world{};
  ASSERT_EQ(host.Worlds().Create(shape, &world), PF_Err_NONE);
  const void* table = nullptr;
  ASSERT_EQ(host.Suites().Acquire(kPFIterate16Suite, 2, &table), kSPNoError);
  const auto* suite = static_cast<const PF_Iterate16Suite2*>(table);
  std::atomic<int> calls{0};
  const PF_Rect area{2, 1, 11, 8}, beyond{-5, -5, 100, 100};
  EXPECT_EQ(suite->iterate(nullptr, 0, 7, &world, &area, &calls, MarkPosition, &world), 0);
  EXPECT_EQ(calls.load(), 9 * 7);
  for (A_long y = 0; y < world.height; ++y) {
    for (A_long x = 0; x < world.width + 1; ++x) {  // and the row's padding, left untouched
      const PF_Pixel16* p = PixelAt<PF_Pixel16>(world, x, y);
      const bool inside = x >= 2 && x < 11 && y >= 1 && y < 8;
      EXPECT_EQ(std::make_tuple(p->alpha, p->red, p->green),
                inside ? std::make_tuple(1, x, y) : std::make_tuple(0, 0, 0))
          << x << "," << y;
    }
  }
  EXPECT_EQ(suite->iterate(nullptr, 0, 1, &world, &beyond, &calls, MarkPosition, &world), 0);
  EXPECT_EQ(calls.load(), 9 * 7 + 13 * 9);
  host.Suites().Release(kPFIterate16Suite, 2);
  host.Worlds().Dispose(&world);
}
