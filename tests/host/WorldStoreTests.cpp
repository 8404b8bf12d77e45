#include <gtest/gtest.h>

#include "host/WorldStore.h"

using namespace kelvrix::host;

// Pads rows and remembers the format of what it made; refuses what it did not make, and
// negative sizes.
TEST(WorldStore, MakesPaddedWorldsAndRefusesStrangers) {
  WorldStore store;
  for (PF_PixelFormat format : {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB128}) {
    WorldSpec shape;
    shape.width = 7;
    shape.height = 3;
    shape.format = format;
    shape.rowPaddingBytes = 12;
    PF_EffectWorld world{};
    ASSERT_EQ(store.Create(shape, &world), PF_Err_NONE);
    PF_PixelFormat got = 0;
    EXPECT_EQ(store.FormatOf(&world, &got), PF_Err_NONE);
    EXPECT_EQ(
        std::make_tuple(world.rowbytes, world.extent_hint.right, world.extent_hint.bottom, got),
        std::make_tuple(7 * BytesPerPixel(format) + 12, 7, 3, format));
    EXPECT_EQ(store.Dispose(&world), PF_Err_NONE);
    EXPECT_EQ(world.data, nullptr);
    EXPECT_EQ(store.Dispose(&world), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(store.FormatOf(&world, &got), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(got, PF_PixelFormat_INVALID);
    shape.width = -1;
    EXPECT_EQ(store.Create(shape, &world), PF_Err_BAD_CALLBACK_PARAM);
  }
  EXPECT_EQ(store.Live(), 0u);
}
