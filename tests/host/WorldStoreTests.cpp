#include <gtest/gtest.h>

#include "host/WorldStore.h"

using namespace kelvrix::host;

TEST(WorldStore, PadsRowsAndRemembersTheFormat) {
  WorldStore store;
  for (PF_PixelFormat format :
       {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128}) {
    WorldSpec shape;
    shape.width = 7;
    shape.height = 3;
    shape.format = format;
    shape.rowPaddingBytes = 12;
    PF_EffectWorld world{};
    ASSERT_EQ(store.Create(shape, &world), PF_Err_NONE);
    EXPECT_EQ(world.rowbytes, 7 * BytesPerPixel(format) + 12);
    EXPECT_EQ(world.extent_hint.right, 7);
    EXPECT_EQ(world.extent_hint.bottom, 3);
    PF_PixelFormat got = 0;
    EXPECT_EQ(store.FormatOf(&world, &got), PF_Err_NONE);
    EXPECT_EQ(got, format);
    EXPECT_EQ(store.Dispose(&world), PF_Err_NONE);
    EXPECT_EQ(world.data, nullptr);
  }
  EXPECT_EQ(store.Live(), 0u);
}

TEST(WorldStore, RefusesWhatItDidNotMake) {
  WorldStore store;
  PF_EffectWorld stranger{};
  PF_PixelFormat format = 0;
  EXPECT_EQ(store.Dispose(&stranger), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(store.FormatOf(&stranger, &format), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(format, PF_PixelFormat_INVALID);
  WorldSpec bad;
  bad.format = PF_PixelFormat_INVALID;
  EXPECT_EQ(store.Create(bad, &stranger), PF_Err_BAD_CALLBACK_PARAM);
  bad.format = PF_PixelFormat_ARGB32;
  bad.width = -1;
  EXPECT_EQ(store.Create(bad, &stranger), PF_Err_BAD_CALLBACK_PARAM);
}
