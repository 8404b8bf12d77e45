#include <gtest/gtest.h>

#include <vector>

#include "cli/WorldPixels.h"
#include "host/InputPicture.h"
#include "host/WorldStore.h"

using namespace kelvrix::cli;

namespace {

// A world over its own bytes, rows padded as a host may pad them.
struct TestWorld {
  TestWorld(PF_PixelFormat format, uint8_t fill)
      : bytes(static_cast<size_t>(16 * kelvrix::host::BytesPerPixel(format) + 12) * 9, fill) {
    world.rowbytes = 16 * kelvrix::host::BytesPerPixel(format) + 12;
    world.data = reinterpret_cast<PF_PixelPtr>(bytes.data());
    world.width = 16;
    world.height = 9;
  }
  std::vector<uint8_t> bytes;
  PF_EffectWorld world{};
};

// A picture survives the trip through a world at every depth; memory shows when every pixel
// has full alpha and most do not look like the message card, which is the input with its
// colour halved under a line of white text.
TEST(WorldPixels, PicturesRoundTripAndOnlyAFullAlphaFrameUnlikeTheCardShowsMemory) {
  for (PF_PixelFormat format :
       {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128}) {
    SCOPED_TRACE(format);
    TestWorld input(format, 0xCD), output(format, 0xCD);
    kelvrix::host::PaintInputPicture(input.world, format);
    RgbaImage image = ImageFromWorld(input.world, format);
    PaintWorld(output.world, format, image);
    EXPECT_TRUE(output.bytes == input.bytes);  // and the row padding untouched
    EXPECT_EQ(image.At(0, 0)[3], 1.0f);        // full alpha (255, 32768 or 1.0) is 1 at every depth
    std::fill(output.bytes.begin(), output.bytes.end(), 0xCD);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format));  // left unpainted
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] *= i % 4 != 3 ? 0.5f : 1;
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
