#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "cli/CliError.h"
#include "cli/ImageFiles.h"
#include "cli/PngStoredWriter.h"
#include "tests/cli/CliTestSupport.h"

namespace kelvrix::cli {
namespace {

using testing::DescribePng;
using testing::ScratchDir;

RgbaImage Ramp(int width, int height, float alpha) {
  RgbaImage image(width, height);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    image.pixels[i] = i % 4 == 3 ? alpha : static_cast<float>(i % 97) / 96.0f;
  }
  return image;
}

// The body must throw a CliError whose "<exit status> <message>" starts with `start`.
void ExpectFailure(const std::function<void()>& body, const std::string& start) {
  try {
    body();
  } catch (const CliError& e) {
    const std::string got = std::to_string(e.Status()) + " " + e.what();
    EXPECT_EQ(got.substr(0, start.size()), start);
    return;
  }
  ADD_FAILURE() << "no error; expected " << start;
}

// "width height mode bit-depth colour-type(6 = RGBA) alpha-min alpha-max" as PIL sees them.
TEST(ImageFiles, PngsReadBackThroughPilWithTheirSizeDepthAndAlpha) {
  for (int depth : {8, 16}) {
    ScratchDir dir;
    WritePng(dir / "a.png", Ramp(7, 5, depth == 8 ? 1.0f : 0.5f), depth);
    const std::string got = DescribePng(dir / "a.png", dir);
    // PIL hands 16-bit RGBA over as 8-bit, where half alpha is 127 or 128.
    EXPECT_TRUE(depth == 8 ? got == "7 5 RGBA 8 6 255 255"
                           : got == "7 5 RGBA 16 6 127 127" || got == "7 5 RGBA 16 6 128 128")
        << got;
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"a.png"});
  }
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
    const std::string path = dir / ("d" + std::to_string(depth) + ".png");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::string failure;
    ASSERT_TRUE(EncodePngStored(file, rows.data(), width * 8 / depth, height, depth, &failure))
        << failure;
    std::fclose(file);
  }
  const RgbaImage back = ReadPng(dir / "d8.png");
  ASSERT_EQ(back.width, width);
  ASSERT_EQ(back.height, height);
  for (size_t i = 0; i < bytes.size(); ++i) {
    ASSERT_EQ(std::lround(back.pixels[i] * 255.0f), bytes[i]) << i;
  }
  EXPECT_EQ(DescribePng(dir / "d16.png", dir).substr(0, 16), "150 70 RGBA 16 6");
}

TEST(ImageFiles, PngValuesOutsideTheRangeAreClampedAndNanIsBlack) {
  ScratchDir dir;
  RgbaImage image(1, 1);
  image.pixels = {std::numeric_limits<float>::quiet_NaN(), 7.0f, -3.0f, 1.0f};
  WritePng(dir / "c.png", image, 8);
  EXPECT_EQ(ReadPng(dir / "c.png").pixels, (std::vector<float>{0.0f, 1.0f, 0.0f, 1.0f}));
}

TEST(ImageFiles, ExrReadsBackThroughOpenExrAsFullFloatsWithEveryValueKept) {
  ScratchDir dir;
  RgbaImage image = Ramp(6, 3, 1.0f);
  image.At(1, 2)[0] = 3.5f;
  image.At(2, 2)[1] = -0.25f;
  image.At(3, 2)[2] = std::numeric_limits<float>::infinity();
  WriteExr(dir / "d.exr", image);

  Imf::InputFile file((dir / "d.exr").c_str());
  const Imath::Box2i window = file.header().dataWindow();
  ASSERT_EQ(window.max.x - window.min.x + 1, 6);
  ASSERT_EQ(window.max.y - window.min.y + 1, 3);
  std::vector<float> read(image.pixels.size());
  Imf::FrameBuffer frame;
  const char* names[] = {"R", "G", "B", "A"};
  for (size_t c = 0; c < 4; ++c) {
    const Imf::Channel* channel = file.header().channels().findChannel(names[c]);
    ASSERT_TRUE(channel != nullptr && channel->type == Imf::FLOAT) << names[c];
    frame.insert(names[c], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(&read[c]),
                                      4 * sizeof(float), 4 * sizeof(float) * 6));
  }
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  EXPECT_EQ(read, image.pixels);
}

TEST(ImageFiles, AFailedWriteRemovesItsTemporaryFileAndKeepsTheOldOne) {
  ScratchDir dir;
  testing::WriteFile(dir / "keep.png", "old");
  EXPECT_THROW(WriteAtomically(dir / "keep.png",
                               [](const std::string& temporary) {
                                 testing::WriteFile(temporary, "half");
                                 throw CliError(kExitOutput, "disk full");
                               }),
               CliError);
  EXPECT_EQ(testing::ReadFile(dir / "keep.png"), "old");
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"keep.png"});
}

TEST(ImageFiles, PngWrittenByPilIsReadAsEightBitRgba) {
  ScratchDir dir;
  const testing::RunResult r =
      testing::Run(std::string(KELVRIX_PYTHON) +
                       " -c \"from PIL import Image; im = Image.new('RGB', (3, 2), (255, 0, 51)); "
                       "im.putpixel((2, 1), (0, 102, 255)); im.save('" +
                       (dir / "pil.png") + "')\"",
                   dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const RgbaImage image = ReadPng(dir / "pil.png");
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  std::vector<float> want;
  for (int i = 0; i < 5; ++i) want.insert(want.end(), {1.0f, 0.0f, 0.2f, 1.0f});
  want.insert(want.end(), {0.0f, 0.4f, 1.0f, 1.0f});
  EXPECT_EQ(image.pixels, want);
}

TEST(ImageFiles, UnwritableOutputAndUnreadableInputGiveTheirStatusAndLeaveNothing) {
  ScratchDir dir;
  testing::WriteFile(dir / "file", "not a folder");
  testing::WriteFile(dir / "text.png", "hello, not a picture");
  const std::string png = dir / "file/a.png", exr = dir / "file/a.exr";
  const std::string absent = dir / "absent.png", text = dir / "text.png";
  ExpectFailure([&] { WritePng(png, Ramp(2, 2, 1.0f), 8); }, "4 cannot write " + png + ": ");
  ExpectFailure([&] { WriteExr(exr, Ramp(2, 2, 1.0f)); }, "4 cannot write " + exr + ": ");
  ExpectFailure([&] { ReadPng(absent); }, "3 cannot read input " + absent);
  ExpectFailure([&] { ReadPng(text); }, "3 unsupported input " + text + ": not a PNG file");
  ExpectFailure([&] { ReadPng(dir / ""); }, "3 ");
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"file", "text.png"}));
}

}  // namespace
}  // namespace kelvrix::cli
