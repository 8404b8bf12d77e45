#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli/CliError.h"
#include "cli/ImageFiles.h"
#include "cli/PngStoredWriter.h"
#include "tests/cli/CliTestSupport.h"

namespace kelvrix::cli {
namespace {

using testing::DescribePng;
using testing::ScratchDir;

RgbaImage Gradient(int width, int height, float alpha) {
  RgbaImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float* p = image.At(x, y);
      p[0] = static_cast<float>(x) / static_cast<float>(width);
      p[1] = static_cast<float>(y) / static_cast<float>(height);
      p[2] = 0.5f;
      p[3] = alpha;
    }
  }
  return image;
}

ExitStatus StatusOf(const std::function<void()>& body, std::string* message) {
  try {
    body();
  } catch (const CliError& e) {
    *message = e.what();
    return e.Status();
  }
  return kExitOk;
}

TEST(ImageFiles, EightBitPngReadsBackWithItsSizeDepthAndAlpha) {
  ScratchDir dir;
  WritePng(dir / "a.png", Gradient(7, 5, 1.0f), 8);
  // width height mode bit-depth colour-type(6 = RGBA) alpha-min alpha-max
  EXPECT_EQ(DescribePng(dir / "a.png", dir), "7 5 RGBA 8 6 255 255");
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"a.png"});
}

TEST(ImageFiles, SixteenBitPngReadsBackWithItsSizeDepthAndAlpha) {
  ScratchDir dir;
  WritePng(dir / "b.png", Gradient(9, 4, 0.5f), 16);
  const std::string description = DescribePng(dir / "b.png", dir);
  EXPECT_EQ(description.substr(0, 4), "9 4 ");
  EXPECT_NE(description.find(" 16 6 "), std::string::npos) << description;
  // PIL hands 16-bit RGBA over as 8-bit: half alpha is 127 or 128 there.
  EXPECT_TRUE(description.find(" 127 127") != std::string::npos ||
              description.find(" 128 128") != std::string::npos)
      << description;
}

TEST(ImageFiles, TheLibraryFreeWriterMakesPngsThatLibpngReadsBackExactly) {
  ScratchDir dir;
  // Wider than one stored block (65535 bytes) so the stream spans several.
  const int width = 300, height = 70;
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * 4 * height);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 13);
  std::vector<uint8_t*> rows;
  for (int y = 0; y < height; ++y)
    rows.push_back(bytes.data() + static_cast<size_t>(y) * width * 4);
  std::FILE* file = std::fopen((dir / "plain.png").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::string failure;
  ASSERT_TRUE(EncodePngStored(file, rows.data(), width, height, 8, &failure)) << failure;
  std::fclose(file);
  const RgbaImage back = ReadPng(dir / "plain.png");
  ASSERT_EQ(back.width, width);
  ASSERT_EQ(back.height, height);
  for (size_t i = 0; i < bytes.size(); ++i) {
    ASSERT_EQ(std::lround(back.pixels[i] * 255.0f), bytes[i]) << i;
  }

  std::FILE* deep = std::fopen((dir / "deep.png").c_str(), "wb");
  ASSERT_NE(deep, nullptr);
  ASSERT_TRUE(EncodePngStored(deep, rows.data(), width / 2, height, 16, &failure)) << failure;
  std::fclose(deep);
  EXPECT_EQ(DescribePng(dir / "deep.png", dir).substr(0, 13), "150 70 RGBA 1");
}

TEST(ImageFiles, PngValuesOutsideTheRangeAreClampedAndNanIsBlack) {
  ScratchDir dir;
  RgbaImage image(1, 1);
  image.At(0, 0)[0] = std::numeric_limits<float>::quiet_NaN();
  image.At(0, 0)[1] = 7.0f;
  image.At(0, 0)[2] = -3.0f;
  image.At(0, 0)[3] = 1.0f;
  WritePng(dir / "c.png", image, 8);
  const RgbaImage back = ReadPng(dir / "c.png");
  ASSERT_EQ(back.width, 1);
  EXPECT_EQ(back.At(0, 0)[0], 0.0f);
  EXPECT_EQ(back.At(0, 0)[1], 1.0f);
  EXPECT_EQ(back.At(0, 0)[2], 0.0f);
  EXPECT_EQ(back.At(0, 0)[3], 1.0f);
}

TEST(ImageFiles, ExrReadsBackThroughOpenExrAsFullFloatsWithEveryValueKept) {
  ScratchDir dir;
  RgbaImage image = Gradient(6, 3, 1.0f);
  image.At(1, 2)[0] = 3.5f;
  image.At(2, 2)[1] = -0.25f;
  image.At(3, 2)[2] = std::numeric_limits<float>::infinity();
  WriteExr(dir / "d.exr", image);

  Imf::InputFile file((dir / "d.exr").c_str());
  const Imath::Box2i window = file.header().dataWindow();
  const int width = window.max.x - window.min.x + 1, height = window.max.y - window.min.y + 1;
  ASSERT_EQ(width, 6);
  ASSERT_EQ(height, 3);
  for (const char* name : {"R", "G", "B", "A"}) {
    const Imf::Channel* channel = file.header().channels().findChannel(name);
    ASSERT_NE(channel, nullptr) << name;
    EXPECT_EQ(channel->type, Imf::FLOAT) << name;
  }
  std::vector<float> read(static_cast<size_t>(width) * height * 4);
  Imf::FrameBuffer frame;
  const char* names[] = {"R", "G", "B", "A"};
  for (size_t c = 0; c < 4; ++c) {
    frame.insert(names[c], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(read.data() + c),
                                      4 * sizeof(float), 4 * sizeof(float) * width));
  }
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  EXPECT_EQ(read, image.pixels);
}

TEST(ImageFiles, UnwritableOutputIsReportedWithNothingLeftBehind) {
  ScratchDir dir;
  testing::WriteFile(dir / "file", "not a folder");
  std::string message;
  EXPECT_EQ(StatusOf([&] { WritePng(dir / "file/a.png", Gradient(2, 2, 1.0f), 8); }, &message),
            kExitOutput);
  EXPECT_EQ(message.rfind("cannot write " + (dir / "file/a.png") + ": ", 0), 0u) << message;
  EXPECT_EQ(StatusOf([&] { WriteExr(dir / "file/a.exr", Gradient(2, 2, 1.0f)); }, &message),
            kExitOutput);
  EXPECT_EQ(message.rfind("cannot write " + (dir / "file/a.exr") + ": ", 0), 0u) << message;
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"file"});
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
  EXPECT_EQ(image.At(0, 0)[0], 1.0f);
  EXPECT_EQ(image.At(0, 0)[2], 0.2f);
  EXPECT_EQ(image.At(0, 0)[3], 1.0f);
  EXPECT_EQ(image.At(2, 1)[1], 0.4f);
}

TEST(ImageFiles, MissingAndNonPngInputsAreReportedAsInputErrors) {
  ScratchDir dir;
  std::string message;
  EXPECT_EQ(StatusOf([&] { ReadPng(dir / "absent.png"); }, &message), kExitInput);
  EXPECT_EQ(message.rfind("cannot read input " + (dir / "absent.png"), 0), 0u) << message;
  testing::WriteFile(dir / "text.png", "hello, not a picture");
  EXPECT_EQ(StatusOf([&] { ReadPng(dir / "text.png"); }, &message), kExitInput);
  EXPECT_NE(message.find("not a PNG file"), std::string::npos) << message;
  EXPECT_EQ(StatusOf([&] { ReadPng(dir / ""); }, &message), kExitInput);
}

}  // namespace
}  // namespace kelvrix::cli
