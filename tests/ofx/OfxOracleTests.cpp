// The OpenFX edition against the After Effects edition: for the same block contents and the
// same source, every depth x style frame the simulated OpenFX host gets is the simulated After
// Effects host's frame once channel order (ARGB / RGBA), the 16-bit range (32768 / 65535) and
// row order (top-down / bottom-up) are mapped: to the byte, the memory picture (both renders
// drawing the same noise) and the card alike, with either row order and in any window.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "ofx/OfxPluginRecord.h"
#include "ofxhost/SimOfxHost.h"
#include "tests/support/SimHostOracle.h"

using namespace kelvrix;
using kelvrix::ofxhost::HostImage;
using kelvrix::ofxhost::OfxHostOptions;
using kelvrix::ofxhost::OfxModule;
using kelvrix::ofxhost::SimOfxHost;
using kelvrix::testing::BlockFeeder;
using kelvrix::testing::DistinctMemory;
using kelvrix::testing::PackedFrame;
using kelvrix::testing::RenderInSimHost;

namespace {

constexpr A_long kWidth = 96;
constexpr A_long kHeight = 54;

OfxModule Linked() {
  return OfxModule::Linked([] { return 1; },
                           [](int n) { return n == 0 ? ofx::ThePlugin() : nullptr; }, nullptr);
}

struct Depth {
  PF_PixelFormat format;
  const char* ofxDepth;
  int sampleBytes;
};
constexpr Depth kDepths[] = {{PF_PixelFormat_ARGB32, kOfxBitDepthByte, 1},
                             {PF_PixelFormat_ARGB64, kOfxBitDepthShort, 2},
                             {PF_PixelFormat_ARGB128, kOfxBitDepthFloat, 4}};

// One sample of an After Effects world as the host holds it, as a fraction of white.
double HostSample(const uint8_t* p, int sampleBytes) {
  if (sampleBytes == 1) return *p / 255.0;
  if (sampleBytes == 2) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return std::round(v * 65535.0 / 32768.0) / 65535.0;
  }
  float f;
  std::memcpy(&f, p, 4);
  return f;
}

// The world's pixel (column x, row y from the top), as host samples R, G, B, A into `out`.
void StoreHostPixel(const PackedFrame& world, int x, int worldRow, int sampleBytes, uint8_t* out) {
  const uint8_t* in =
      world.pixels.data() + (static_cast<size_t>(worldRow) * world.width + x) * world.pixelBytes;
  const int order[] = {1, 2, 3, 0};  // R, G, B from after A
  for (int c = 0; c < 4; ++c) {
    const uint8_t* s = in + order[c] * sampleBytes;
    if (sampleBytes == 2) {
      const auto v = static_cast<uint16_t>(std::lround(HostSample(s, 2) * 65535.0));
      std::memcpy(out + 2 * c, &v, 2);
    } else {
      std::memcpy(out + c * sampleBytes, s, sampleBytes);
    }
  }
}

// A host image of the frame holding the world's pixels: the frame's top row is the world's
// first, its left column the world's first.
void FillFromWorld(HostImage& image, const OfxRectI& frame, const PackedFrame& world,
                   int sampleBytes) {
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    for (int x = image.bounds().x1; x < image.bounds().x2; ++x) {
      StoreHostPixel(world, x - frame.x1, frame.y2 - 1 - y, sampleBytes, image.Pixel(x, y));
    }
  }
}

struct Layout {  // of the host's images
  bool topDown = false;
  OfxRectI window{0, 0, 0, 0};  // empty: the whole frame
  bool imageRegionOfDefinition = true;
  int originX = 0;
  int originY = 0;
  bool tile = false;  // the output image holds only the window
  int multiThreadFailCall = -1;
  unsigned multiThreadRunsBeforeFailing = 0;
};

struct OfxFrame {
  OfxStatus status = kOfxStatFailed;
  HostImage output;
  HostImage expected;  // the After Effects frame in the same host layout
};

OfxFrame RenderBoth(const Depth& d, int style, double size, const std::vector<uint8_t>& memory,
                    const Layout& layout = {}) {
  OfxFrame out;
  const kelvrix::testing::SameNoise sameNoise;  // both renders draw the same noise
  const auto oracle = RenderInSimHost(d.format, kWidth, kHeight, style, size, memory);
  EXPECT_EQ(oracle.err, PF_Err_NONE);
  OfxHostOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.depth = d.ofxDepth;
  options.topDown = layout.topDown;
  options.rowPadding = 8;
  options.imageRegionOfDefinition = layout.imageRegionOfDefinition;
  options.originX = layout.originX;
  options.originY = layout.originY;
  options.multiThreadFailCall = layout.multiThreadFailCall;
  options.multiThreadRunsBeforeFailing = layout.multiThreadRunsBeforeFailing;
  const OfxRectI frame{layout.originX, layout.originY, layout.originX + kWidth,
                       layout.originY + kHeight};
  options.sourceFill = [&](HostImage& image) {
    FillFromWorld(image, frame, oracle.input, d.sampleBytes);
  };
  SimOfxHost host(Linked(), options);
  if (host.Load() || host.Describe() || host.DescribeInContext(kOfxImageEffectContextFilter) ||
      host.CreateInstance(kOfxImageEffectContextFilter)) {
    return out;
  }
  host.SetDouble("size", size);
  host.SetInt("style", style - 1);
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  BlockFeeder feeder;
  if (!memory.empty()) feeder.Queue(memory);
  SimOfxHost::RenderRequest request;
  request.window = layout.window;
  request.tile = layout.tile;
  auto r = host.Render(request);
  out.status = r.status;
  out.output = std::move(r.output);
  out.expected = HostImage(d.ofxDepth, host.FrameAt(1.0), false, 0, 0);
  FillFromWorld(out.expected, frame, oracle.output, d.sampleBytes);
  EXPECT_EQ(host.LiveImages(), 0);
  return out;
}

class OfxOracle : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(OfxOracle, MemoryFrameIsTheAfterEffectsFrameToTheByteWithEitherRowOrder) {
  const Depth& d = kDepths[std::get<0>(GetParam())];
  const int style = std::get<1>(GetParam());
  for (bool topDown : {false, true}) {
    const OfxFrame f = RenderBoth(d, style, 37.0, DistinctMemory(style), Layout{topDown});
    ASSERT_EQ(f.status, kOfxStatOK);
    EXPECT_TRUE(f.output.Packed() == f.expected.Packed()) << d.ofxDepth << " " << topDown;
  }
}

TEST_P(OfxOracle, CardIsTheAfterEffectsCardToTheByteWithEitherRowOrder) {
  const Depth& d = kDepths[std::get<0>(GetParam())];
  const int style = std::get<1>(GetParam());
  for (bool topDown : {false, true}) {
    const OfxFrame f = RenderBoth(d, style, 150.0, {}, Layout{topDown});
    ASSERT_EQ(f.status, kOfxStatOK);
    EXPECT_TRUE(f.output.Packed() == f.expected.Packed()) << d.ofxDepth << " " << topDown;
  }
}

// A multithread suite that could not launch every call, refusing one outright or failing it
// after some of its threads ran, in any pass of the frame: the render fails, or its frame is
// exactly the After Effects frame. No row runs twice (noise added twice halves a picture).
TEST_P(OfxOracle, AMultiThreadCallThatFailsMidwayGivesAFailureOrTheExactFrame) {
  const Depth& d = kDepths[std::get<0>(GetParam())];
  const int style = std::get<1>(GetParam());
  for (const bool memory : {true, false}) {
    for (int call = 0; call < 4; ++call) {
      for (unsigned ran : {0u, 1u, 3u}) {
        Layout layout;
        layout.multiThreadFailCall = call;
        layout.multiThreadRunsBeforeFailing = ran;
        const OfxFrame f = RenderBoth(
            d, style, 37.0, memory ? DistinctMemory(style) : std::vector<uint8_t>{}, layout);
        EXPECT_TRUE(f.status != kOfxStatOK || f.output.Packed() == f.expected.Packed())
            << d.ofxDepth << " memory " << memory << " call " << call << " ran " << ran;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndStyles, OfxOracle,
                         ::testing::Combine(::testing::Values(0, 1, 2),
                                            ::testing::Values(kStyle8, kStyle16, kStyleFloat)));

// A window is a part of the whole frame's card, not a card of its own, at every depth.
TEST(OfxOracleWindow, AWindowHoldsItsPartOfTheWholeFramesCard) {
  const OfxRectI window{10, 7, 70, 40};
  for (const Depth& d : kDepths) {
    const OfxFrame f = RenderBoth(d, kStyle8, 150.0, {}, Layout{true, window});
    ASSERT_EQ(f.status, kOfxStatOK);
    EXPECT_TRUE(f.output.Packed(window) == f.expected.Packed(window)) << d.ofxDepth;
    const std::vector<uint8_t> below = f.output.Packed(OfxRectI{0, 0, kWidth, window.y1});
    EXPECT_TRUE(std::all_of(below.begin(), below.end(), [](uint8_t b) { return b == 0xCD; }))
        << d.ofxDepth;
  }
}

// Images without a region of definition of their own: the pixels present are the frame, and a
// whole frame's image is laid out as any other.
TEST(OfxOracleWindow, ImagesWithoutTheirOwnRegionOfDefinitionRenderTheSameWholeFrame) {
  for (int style : {kStyle8, kStyleFloat}) {
    for (const auto& memory : {DistinctMemory(style), std::vector<uint8_t>{}}) {
      const OfxFrame f = RenderBoth(kDepths[1], style, 37.0, memory, Layout{false, {}, false});
      ASSERT_EQ(f.status, kOfxStatOK);
      EXPECT_TRUE(f.output.Packed() == f.expected.Packed()) << style << " " << memory.size();
    }
  }
}

// A host that asks for tiles anyway, with images that lack their own region of definition: each
// tile is laid out on the output clip's region of definition, so it is its part of the whole
// frame (picture or card), not a frame of its own.
TEST(OfxOracleWindow, TilesWithoutTheirOwnRegionOfDefinitionArePartsOfTheWholeFrame) {
  for (const auto& memory : {DistinctMemory(kStyle8), std::vector<uint8_t>{}}) {
    for (const OfxRectI tile : {OfxRectI{0, 0, 48, 27}, OfxRectI{48, 27, 96, 54}}) {
      Layout layout;
      layout.window = tile;
      layout.tile = true;
      layout.imageRegionOfDefinition = false;
      const OfxFrame f = RenderBoth(kDepths[0], kStyle8, 37.0, memory, layout);
      ASSERT_EQ(f.status, kOfxStatOK);
      EXPECT_TRUE(f.output.Packed(tile) == f.expected.Packed(tile))
          << memory.size() << " " << tile.x1;
    }
  }
}

// A frame that does not start at the origin (a format with an offset, a region of definition
// moved upstream): the same picture and card on its pixels, whole or in a window.
TEST(OfxOracleWindow, AFrameAwayFromTheOriginGetsTheSamePixels) {
  for (const auto& memory : {DistinctMemory(kStyle16), std::vector<uint8_t>{}}) {
    for (const OfxRectI window : {OfxRectI{0, 0, 0, 0}, OfxRectI{-20, 17, 40, 50}}) {
      const OfxFrame f = RenderBoth(kDepths[1], kStyle16, 37.0, memory,
                                    Layout{window.x2 == 0, window, true, -30, 12});
      ASSERT_EQ(f.status, kOfxStatOK);
      const OfxRectI area = window.x2 == 0 ? f.expected.bounds() : window;
      EXPECT_TRUE(f.output.Packed(area) == f.expected.Packed(area))
          << memory.size() << " " << window.x1;
    }
  }
}

}  // namespace
