#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli/CliError.h"
#include "cli/ImageFiles.h"
#include "cli/PngStoredWriter.h"
#include "tests/cli/CliTestSupport.h"

using namespace kelvrix::cli;
using namespace kelvrix::cli::testing;

namespace {

RgbaImage Ramp(int width, int height, float alpha) {
  RgbaImage image(width, height);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    image.pixels[i] = i % 4 == 3 ? alpha : static_cast<float>(i % 97) / 96.0f;
  }
  return image;
}

TEST(ImageFiles, PngsReadBackThroughPilWithTheirSizeDepthAndAlpha) {
  ScratchDir dir;
  WritePng(dir / "8.png", Ramp(7, 5, 1.0f), 8);
  WritePng(dir / "16.png", Ramp(7, 5, 0.5f), 16);
  EXPECT_EQ(DescribePng(dir / "8.png", dir), "7 5 RGBA 8 6 255 255");
  // PIL hands 16-bit RGBA over as 8-bit, where half alpha is 127 or 128.
  const std::string got = DescribePng(dir / "16.png", dir);
  EXPECT_TRUE(got == "7 5 RGBA 16 6 127 127" || got == "7 5 RGBA 16 6 128 128") << got;
  RgbaImage odd(1, 1);
  odd.pixels = {std::numeric_limits<float>::quiet_NaN(), 7.0f, -3.0f, 1.0f};
  WritePng(dir / "c.png", odd, 8);
  EXPECT_EQ(ReadPng(dir / "c.png").pixels, (std::vector<float>{0.0f, 1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(Pil("Image.new(\"RGB\", (2, 1), (255, 0, 51)).save(p)", dir / "pil.png", dir), "");
  const RgbaImage pil = ReadPng(dir / "pil.png");
  EXPECT_EQ(std::make_tuple(pil.width, pil.height, pil.pixels),
            std::make_tuple(2, 1, std::vector<float>{1, 0, 0.2f, 1, 1, 0, 0.2f, 1}));
}

TEST(ImageFiles, TheLibraryFreeWriterMakesPngsThatLibpngReadsBackExactly) {
  ScratchDir dir;
  // Wider than one stored block (65535 bytes) so the stream spans several.
  const int width = 300, height = 70;
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * 4 * height);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 13);
  std::vector<uint8_t*> rows;
  for (int y = 0; y < height; ++y) rows.push_back(&bytes[static_cast<size_t>(y) * width * 4]);
  for (int depth : {8, 16}) {
    std::FILE* file = std::fopen((dir / (std::to_string(depth) + ".png")).c_str(), "wb");
    std::string failure;
    ASSERT_TRUE(EncodePngStored(file, rows.data(), width * 8 / depth, height, depth, &failure))
        << failure;
    std::fclose(file);
  }
  const RgbaImage back = ReadPng(dir / "8.png");
  std::vector<uint8_t> got;
  for (float v : back.pixels) got.push_back(static_cast<uint8_t>(std::lround(v * 255.0f)));
  EXPECT_EQ(std::make_tuple(back.width, back.height), std::make_tuple(width, height));
  EXPECT_TRUE(got == bytes);
  EXPECT_EQ(DescribePng(dir / "16.png", dir).substr(0, 16), "150 70 RGBA 16 6");
}

TEST(ImageFiles, ExrReadsBackThroughOpenExrAsFullFloatsWithEveryValueKept) {
  ScratchDir dir;
  RgbaImage image = Ramp(6, 3, 1.0f);
  image.pixels[4] = 3.5f, image.pixels[5] = -0.25f, image.pixels[6] = INFINITY;
  WriteExr(dir / "d.exr", image);
  const RgbaImage back = ReadExr(dir / "d.exr");
  EXPECT_EQ(std::make_tuple(back.width, back.height, back.pixels),
            std::make_tuple(6, 3, image.pixels));
}

TEST(ImageFiles, AFailedWriteRemovesItsTemporaryFileAndKeepsTheOldOne) {
  ScratchDir dir;
  WriteFile(dir / "keep.png", "old");
  EXPECT_THROW(WriteAtomically(dir / "keep.png",
                               [](const std::string& temporary) {
                                 WriteFile(temporary, "half");
                                 throw CliError(kExitOutput, "disk full");
                               }),
               CliError);
  EXPECT_EQ(ReadFile(dir / "keep.png"), "old");
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"keep.png"});
}

}  // namespace
