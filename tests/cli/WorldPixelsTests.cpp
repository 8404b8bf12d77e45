#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cli/WorldPixels.h"
#include "host/InputPicture.h"
#include "host/WorldStore.h"

namespace kelvrix::cli {
namespace {

constexpr PF_PixelFormat kFormats[] = {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64,
                                       PF_PixelFormat_ARGB128};

// A world over its own bytes, rows padded as a host may pad them.
struct TestWorld {
  TestWorld(int width, int height, PF_PixelFormat format, uint8_t fill = 0xCD) {
    const A_long rowbytes = width * host::BytesPerPixel(format) + 12;
    bytes.assign(static_cast<size_t>(rowbytes) * height, fill);
    world.data = reinterpret_cast<PF_PixelPtr>(bytes.data());
    world.rowbytes = rowbytes;
    world.width = width;
    world.height = height;
  }
  std::vector<uint8_t> bytes;
  PF_EffectWorld world{};
};

TEST(WorldPixels, PicturesSurviveTheTripThroughAWorldAtEveryDepth) {
  for (PF_PixelFormat format : kFormats) {
    TestWorld world(5, 3, format);
    host::PaintInputPicture(world.world, format);
    const RgbaImage image = ImageFromWorld(world.world, format);
    TestWorld copy(5, 3, format, 0);
    PaintWorld(copy.world, format, image);
    for (A_long y = 0; y < 3; ++y) {
      const size_t rowBytes = 5 * static_cast<size_t>(host::BytesPerPixel(format));
      EXPECT_EQ(std::memcmp(world.bytes.data() + y * world.world.rowbytes,
                            copy.bytes.data() + y * copy.world.rowbytes, rowBytes),
                0)
          << "format " << format << " row " << y;
    }
    EXPECT_EQ(image.At(0, 0)[3], 1.0f);  // full alpha (255, 32768 or 1.0) is 1 at every depth
  }
}

// Memory shows when every pixel has full alpha and most do not look like the message card,
// which is the input with its colour halved under a line of white text.
TEST(WorldPixels, OnlyAFullAlphaFrameUnlikeTheHalvedInputShowsMemory) {
  for (PF_PixelFormat format : kFormats) {
    SCOPED_TRACE(format);
    TestWorld input(16, 9, format), output(16, 9, format);
    host::PaintInputPicture(input.world, format);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format));  // left unpainted
    RgbaImage image = ImageFromWorld(input.world, format);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
      if (i % 4 != 3) image.pixels[i] *= 0.5f;
    }
    for (int x = 0; x < 16; ++x) std::fill_n(image.At(x, 1), 4, 1.0f);
    PaintWorld(output.world, format, image);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format));  // the card
    for (size_t i = 0; i < image.pixels.size(); ++i) {
      if (i % 4 != 3) image.pixels[i] = static_cast<float>(i * 37 % 101) / 100.0f;
    }
    PaintWorld(output.world, format, image);
    EXPECT_TRUE(ShowsMemory(output.world, input.world, format));  // memory
    image.At(15, 8)[3] = 0.5f;
    PaintWorld(output.world, format, image);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format));  // one alpha short of full
  }
}

}  // namespace
}  // namespace kelvrix::cli
