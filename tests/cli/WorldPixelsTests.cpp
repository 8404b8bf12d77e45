#include <gtest/gtest.h>

#include <cstring>
#include <random>
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

// What the card makes of the input: colour halved (truncated), alpha kept.
template <typename Pixel>
void Halve(const PF_EffectWorld& input, PF_EffectWorld& output) {
  for (A_long y = 0; y < input.height; ++y) {
    for (A_long x = 0; x < input.width; ++x) {
      const Pixel& in = *host::PixelAt<Pixel>(input, x, y);
      Pixel& out = *host::PixelAt<Pixel>(output, x, y);
      out = in;
      out.red = static_cast<decltype(in.red)>(static_cast<float>(in.red) * 0.5f);
      out.green = static_cast<decltype(in.red)>(static_cast<float>(in.green) * 0.5f);
      out.blue = static_cast<decltype(in.red)>(static_cast<float>(in.blue) * 0.5f);
    }
  }
}

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
    EXPECT_EQ(image.At(0, 0)[3], 1.0f);  // full alpha is 1 whatever the depth
  }
}

TEST(WorldPixels, SixteenBitFullIs32768NotTheLargestValue) {
  EXPECT_EQ(FullValueOf(PF_PixelFormat_ARGB64), 32768.0f);
  EXPECT_EQ(FullValueOf(PF_PixelFormat_ARGB32), 255.0f);
  EXPECT_EQ(FullValueOf(PF_PixelFormat_ARGB128), 1.0f);
}

TEST(WorldPixels, AFrameOfMemoryWithFullAlphaShowsMemory) {
  std::mt19937 random(7);
  for (PF_PixelFormat format : kFormats) {
    TestWorld input(16, 9, format), output(16, 9, format);
    host::PaintInputPicture(input.world, format);
    for (uint8_t& b : output.bytes) b = static_cast<uint8_t>(random());
    RgbaImage image = ImageFromWorld(output.world, format);
    for (size_t i = 3; i < image.pixels.size(); i += 4) image.pixels[i] = 1.0f;
    for (size_t i = 0; i < image.pixels.size(); i += 4) image.pixels[i] = 0.123f;
    PaintWorld(output.world, format, image);
    EXPECT_TRUE(ShowsMemory(output.world, input.world, format)) << format;
  }
}

TEST(WorldPixels, AFrameTheEffectLeftUnpaintedShowsNoMemory) {
  for (PF_PixelFormat format : kFormats) {
    TestWorld input(16, 9, format), output(16, 9, format);
    host::PaintInputPicture(input.world, format);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format)) << format;
    // One pixel short of full alpha is enough.
    RgbaImage image = ImageFromWorld(input.world, format);
    image.At(15, 8)[3] = 0.5f;
    PaintWorld(output.world, format, image);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format)) << format;
  }
}

TEST(WorldPixels, TheMessageCardOverTheInputShowsNoMemoryThoughItsAlphaIsFull) {
  for (PF_PixelFormat format : kFormats) {
    TestWorld input(16, 9, format), output(16, 9, format);
    host::PaintInputPicture(input.world, format);
    switch (format) {
      case PF_PixelFormat_ARGB32:
        Halve<PF_Pixel8>(input.world, output.world);
        break;
      case PF_PixelFormat_ARGB64:
        Halve<PF_Pixel16>(input.world, output.world);
        break;
      default:
        Halve<PF_PixelFloat>(input.world, output.world);
        break;
    }
    // A line of white text across the top.
    RgbaImage image = ImageFromWorld(output.world, format);
    for (int x = 0; x < 16; ++x) std::fill_n(image.At(x, 1), 4, 1.0f);
    PaintWorld(output.world, format, image);
    EXPECT_FALSE(ShowsMemory(output.world, input.world, format)) << format;
  }
}

}  // namespace
}  // namespace kelvrix::cli
