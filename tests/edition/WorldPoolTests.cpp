// The instance's spare worlds: a world given back serves the next render of the same shape,
// cleared when asked; another shape gets a world of its own.
#include <gtest/gtest.h>

#include <cstring>

#include "edition/WorldPool.h"

using kelvrix::edition::WorldPool;

namespace {

TEST(WorldPool, AGivenWorldServesTheSameShapeOnlyAndComesBackClearedWhenAsked) {
  WorldPool pool;
  PF_EffectWorld first{};
  ASSERT_EQ(pool.Take(64, 36, PF_PixelFormat_ARGB64, false, &first), PF_Err_NONE);
  void* const pixels = first.data;
  std::memset(first.data, 0xAB, static_cast<size_t>(first.rowbytes) * 36);
  pool.Give(&first);
  EXPECT_EQ(first.data, nullptr);

  const struct {
    A_long width, height;
    PF_PixelFormat format;
    bool same;
  } cases[] = {{64, 36, PF_PixelFormat_ARGB32, false},  // same bytes, other depth
               {32, 72, PF_PixelFormat_ARGB64, false},  // same bytes, other shape
               {64, 36, PF_PixelFormat_ARGB64, true}};
  for (const auto& c : cases) {
    PF_EffectWorld w{};
    ASSERT_EQ(pool.Take(c.width, c.height, c.format, true, &w), PF_Err_NONE);
    EXPECT_EQ(w.data == pixels, c.same) << c.width << "x" << c.height;
    const auto* bytes = reinterpret_cast<const uint8_t*>(w.data);
    for (size_t i = 0; i < static_cast<size_t>(w.rowbytes) * c.height; ++i) {
      ASSERT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ((w.world_flags & PF_WorldFlag_DEEP) != 0, c.format == PF_PixelFormat_ARGB64);
    pool.Give(&w);
  }
  pool.Purge();
  PF_EffectWorld again{};
  ASSERT_EQ(pool.Take(64, 36, PF_PixelFormat_ARGB64, false, &again), PF_Err_NONE);
  pool.Give(&again);
}

}  // namespace
