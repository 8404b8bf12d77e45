#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "render/BulkMt19937.h"
#include "render/CrossDepth.h"
#include "render/NativeFill.h"
#include "render/PixelTraits.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::host::WorldSpec;
using kelvrix::testing::BlockFeeder;

namespace {

// Memory pixel i carries its index in 15 bits, five per channel, each as 8k + 4 so that
// the fill's +-1 noise at 8 bpc can never change what it decodes to.
std::vector<uint8_t> IndexedImage8(int32_t pixels) {
  std::vector<uint8_t> bytes(static_cast<size_t>(pixels) * 3);
  for (int32_t i = 0; i < pixels; ++i) {
    bytes[static_cast<size_t>(i) * 3 + 0] = static_cast<uint8_t>(8 * (i & 31) + 4);
    bytes[static_cast<size_t>(i) * 3 + 1] = static_cast<uint8_t>(8 * ((i >> 5) & 31) + 4);
    bytes[static_cast<size_t>(i) * 3 + 2] = static_cast<uint8_t>(8 * ((i >> 10) & 31) + 4);
  }
  return bytes;
}

int32_t Decode(const PF_Pixel8& p) { return (p.red / 8) | (p.green / 8) << 5 | (p.blue / 8) << 10; }

class Fill : public ::testing::Test {
 protected:
  void TearDown() override {
    if (world_.data != nullptr) host_.Worlds().Dispose(&world_);
  }
  void MakeWorld(A_long width, A_long height, PF_PixelFormat format, A_long padding = 0) {
    WorldSpec shape;
    shape.width = width;
    shape.height = height;
    shape.format = format;
    shape.rowPaddingBytes = padding;
    ASSERT_EQ(host_.Worlds().Create(shape, &world_), PF_Err_NONE);
  }
  PF_Err Run(PF_Err (*fill)(RenderPlan&, PF_EffectWorld*, PF_InData*, PF_OutData*), int32_t size) {
    plan_.size = size;
    plan_.noBlockFound = false;
    return host_.WithinCommand(
        [&](PF_InData* in, PF_OutData* out) { return fill(plan_, &world_, in, out); });
  }

  SimHost host_{kelvrix::testing::LinkedPlugin()};
  RenderPlan plan_;
  PF_EffectWorld world_{};
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(50)};
};

}  // namespace

TEST(ImageSize, MatchesTheWorkedExamples) {
  struct Case {
    int32_t size;
    A_long w, h;
    int32_t bytesPerChannel, width, height;
    size_t block;
  };
  for (Case c : {Case{150, 1920, 1080, 1, 201, 113, 68139}, Case{75, 1920, 1080, 2, 102, 57, 34884},
                 Case{37, 1920, 1080, 4, 50, 28, 16800}, Case{150, 1000, 1000, 1, 150, 150, 67500},
                 Case{1, 1920, 1080, 1, 2, 1, 6}, Case{1, 1000, 1000, 1, 1, 1, 3},
                 Case{0, 1920, 1080, 1, 0, 0, 0}, Case{1000, 30000, 4, 1, 90000, 12, 3240000}}) {
    const MemoryImageSize image = ImageSizeFor(c.size, c.w, c.h, c.bytesPerChannel);
    EXPECT_TRUE(image.valid);
    EXPECT_EQ(image.width, c.width) << c.size << " on " << c.w << "x" << c.h;
    EXPECT_EQ(image.height, c.height) << c.size << " on " << c.w << "x" << c.h;
    EXPECT_EQ(image.blockBytes, c.block);
  }
}

TEST(ImageSize, WorldsWithoutAnAddressableImageAreRefused) {
  EXPECT_FALSE(ImageSizeFor(150, 0, 1080, 1).valid);
  EXPECT_FALSE(ImageSizeFor(150, 1920, 0, 1).valid);
  EXPECT_FALSE(ImageSizeFor(150, -5, 10, 1).valid);
  EXPECT_FALSE(ImageSizeFor(1000, std::numeric_limits<A_long>::max(), 1, 4).valid);
  EXPECT_FALSE(ImageSizeFor(-1, 100, 100, 1).valid);
}

TEST(Noise, RoundingTakesHalvesAwayFromZero) {
  // Explicit values: some C libraries' lround gets the largest double below 0.5 wrong.
  const std::pair<double, long> cases[] = {{0.5, 1},
                                           {-0.5, -1},
                                           {1.5, 2},
                                           {-1.5, -2},
                                           {2.5, 3},
                                           {0.4, 0},
                                           {0.6, 1},
                                           {-0.6, -1},
                                           {0.0, 0},
                                           {-0.0, 0},
                                           {32767.5, 32768},
                                           {-150.5, -151},
                                           {65535.49, 65535},
                                           {0.49999999999999994, 0},
                                           {-0.49999999999999994, 0},
                                           {1e9 + 0.5, 1000000001}};
  for (const auto& [v, rounded] : cases) EXPECT_EQ(RoundHalfAway(v), rounded) << v;
  const std::pair<float, int32_t> singles[] = {{0.5f, 1},         {-0.5f, -1},    {127.5f, 128},
                                               {0.49999997f, 0},  {254.99f, 255}, {2.5f, 3},
                                               {32767.5f, 32768}, {-2.5f, -3}};
  for (const auto& [v, rounded] : singles) EXPECT_EQ(RoundHalfAway(v), rounded) << v;
}

TEST(Noise, DrawsStayInsideTheBoundsAndClampPerDepth) {
  std::mt19937 engine(3);
  for (int i = 0; i < 10000; ++i) {
    const double n = DrawNoise(engine, -1.49, 1.49);
    ASSERT_TRUE(n >= -1.49 && n <= 1.49);
  }
  EXPECT_EQ(Depth8::AddNoise(255, 1.49), 255);
  EXPECT_EQ(Depth8::AddNoise(0, -1.49), 0);
  EXPECT_EQ(Depth8::AddNoise(100, 0.5), 101);  // half rounds away from zero
  EXPECT_EQ(Depth8::AddNoise(100, -0.5), 99);
  EXPECT_EQ(Depth16::AddNoise(65535, 0.0), 32767);
  EXPECT_EQ(Depth16::AddNoise(65535, 150.0), 32767);
  EXPECT_EQ(Depth16::AddNoise(65535, -150.0), 32692);
  EXPECT_EQ(Depth16::AddNoise(0, -150.0), 0);
  EXPECT_EQ(Depth16::AddNoise(0, 100.0), 50);
  EXPECT_EQ(Depth16::AddNoise(329, 0.0), 164);
  EXPECT_TRUE(std::isnan(DepthFloat::AddNoise(std::nanf(""), 0.005)));
  EXPECT_EQ(DepthFloat::AddNoise(std::numeric_limits<float>::infinity(), -0.01),
            std::numeric_limits<float>::infinity());
  EXPECT_EQ(DepthFloat::AddNoise(-1e30f, 0.01), -1e30f);
}

TEST(Noise, BulkDrawsAreStdMt19937sOutputsBitForBit) {
  // The generator's published check: the 10000th output of the default seed, 5489.
  BulkMt19937 standard(5489);
  uint32_t block[BulkMt19937::kBlockSize];
  constexpr size_t kTenThousandth = 9999;
  for (size_t i = 0; i <= kTenThousandth / BulkMt19937::kBlockSize; ++i) standard.NextBlock(block);
  EXPECT_EQ(block[kTenThousandth % BulkMt19937::kBlockSize], 4123659995u);
  std::vector<uint32_t> seeds = {0u, 1u, 5489u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
  std::mt19937 seedSource(7);
  for (int i = 0; i < 200; ++i) seeds.push_back(static_cast<uint32_t>(seedSource()));
  for (uint32_t seed : seeds) {
    std::mt19937 reference(seed);
    BulkMt19937 bulk(seed);
    for (int refill = 0; refill < 12; ++refill) {
      bulk.NextBlock(block);
      uint32_t expected[BulkMt19937::kBlockSize];
      for (uint32_t& v : expected) v = static_cast<uint32_t>(reference());
      ASSERT_EQ(std::memcmp(block, expected, sizeof block), 0) << seed << " refill " << refill;
    }
  }
}

// Rows that end inside a block of draws, rows of several blocks, and samples of every kind
// (NaN, infinity and extremes among random bytes): each depth's pass leaves exactly what one
// std::mt19937 call per draw, channel after channel, gives.
template <typename Depth>
void ExpectNoiseAsDrawnOneByOne(PF_IterateGenericFunc addNoiseRow, double low, double high) {
  using Channel = typename Depth::Channel;
  RenderPlan plan;
  plan.imageWidth = 401;  // 1203 channels: three blocks of 312 and part of a fourth
  plan.imageHeight = 3;
  plan.rowSeedBase = 0xC0FFEEu;
  plan.noise8Low = plan.noise16Low = plan.noiseFloatLow = low;
  plan.noise8High = plan.noise16High = plan.noiseFloatHigh = high;
  const size_t rowChannels = static_cast<size_t>(plan.imageWidth) * 3;
  std::vector<uint8_t> block(rowChannels * plan.imageHeight * sizeof(Channel));
  std::mt19937 bytes(11);
  for (uint8_t& b : block) b = static_cast<uint8_t>(bytes());
  std::vector<uint8_t> expected = block;
  plan.block = block.data();
  for (A_long y = 0; y < plan.imageHeight; ++y) {
    std::mt19937 engine(NoiseRowSeed(plan.rowSeedBase, y));
    for (size_t c = 0; c < rowChannels; ++c) {
      uint8_t* at = expected.data() + (y * rowChannels + c) * sizeof(Channel);
      Channel sample;
      std::memcpy(&sample, at, sizeof sample);
      sample = Depth::AddNoise(sample, DrawNoise(engine, low, high));
      std::memcpy(at, &sample, sizeof sample);
    }
    addNoiseRow(&plan, 0, y, plan.imageHeight);
  }
  EXPECT_EQ(std::memcmp(block.data(), expected.data(), block.size()), 0);
}

TEST(Noise, EachDepthsPassGivesTheDrawsOfStdMt19937InOrder) {
  ExpectNoiseAsDrawnOneByOne<Depth8>(AddNoiseRow8, -1.49, 1.49);
  ExpectNoiseAsDrawnOneByOne<Depth16>(AddNoiseRow16, -150.0, 150.0);
  ExpectNoiseAsDrawnOneByOne<DepthFloat>(AddNoiseRowFloat, -0.01, 0.01);
}

TEST_F(Fill, EveryWorldPixelShowsTheMemoryPixelOfItsRowAndColumn) {
  MakeWorld(1920, 1080, PF_PixelFormat_ARGB32);
  BlockFeeder feeder;
  feeder.Queue(IndexedImage8(201 * 113));
  ASSERT_EQ(Run(FillFromMemory8, 150), PF_Err_NONE);
  ASSERT_FALSE(plan_.noBlockFound);
  EXPECT_EQ(plan_.imageWidth, 201);
  EXPECT_EQ(plan_.imageHeight, 113);
  EXPECT_EQ(Decode(*PixelAt<PF_Pixel8>(world_, 0, 0)), 0);
  EXPECT_EQ(Decode(*PixelAt<PF_Pixel8>(world_, 10, 0)), 1);
  EXPECT_EQ(Decode(*PixelAt<PF_Pixel8>(world_, 0, 540)), 11256);
  EXPECT_EQ(Decode(*PixelAt<PF_Pixel8>(world_, 1919, 1079)), 22712);
  for (A_long y = 0; y < 1080; y += 7) {
    const int32_t row = static_cast<int32_t>(113 * y / 1080);
    int32_t previous = -1;
    for (A_long x = 0; x < 1920; ++x) {
      const int32_t i = Decode(*PixelAt<PF_Pixel8>(world_, x, y));
      ASSERT_GE(i, row * 201) << x << "," << y;
      ASSERT_LT(i, row * 201 + 201) << x << "," << y;
      ASSERT_GE(i, previous) << x << "," << y;  // columns map monotonically
      previous = i;
    }
    EXPECT_EQ(previous, row * 201 + 200);  // the row reaches the image's last column
  }
}

TEST_F(Fill, NoiseAtEightBitsMovesAChannelByAtMostOne) {
  MakeWorld(300, 200, PF_PixelFormat_ARGB32);
  const MemoryImageSize image = ImageSizeFor(150, 300, 200, 1);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{100});
  ASSERT_EQ(Run(FillFromMemory8, 150), PF_Err_NONE);
  int moved = 0;
  for (A_long y = 0; y < 200; ++y) {
    for (A_long x = 0; x < 300; ++x) {
      const PF_Pixel8& p = *PixelAt<PF_Pixel8>(world_, x, y);
      for (int c : {p.red, p.green, p.blue}) {
        ASSERT_GE(c, 99);
        ASSERT_LE(c, 101);
        moved += c != 100;
      }
    }
  }
  EXPECT_GT(moved, 0);
  EXPECT_GT(image.width, 0);
}

TEST_F(Fill, SixteenBitMemoryIsHalvedAndFloatKeepsNanAndInfinity) {
  MakeWorld(64, 48, PF_PixelFormat_ARGB64);
  BlockFeeder feeder;
  std::vector<uint8_t> pattern(6);
  const uint16_t samples[3] = {65535, 20000, 4000};
  std::memcpy(pattern.data(), samples, 6);
  feeder.Queue(pattern);
  ASSERT_EQ(Run(FillFromMemory16, 40), PF_Err_NONE);
  const PF_Pixel16& p = *PixelAt<PF_Pixel16>(world_, 17, 30);
  EXPECT_GE(p.red, 32692);
  EXPECT_LE(p.red, 32767);
  EXPECT_NEAR(p.green, 10000, 75);
  EXPECT_NEAR(p.blue, 2000, 75);
  host_.Worlds().Dispose(&world_);

  MakeWorld(64, 48, PF_PixelFormat_ARGB128);
  const float floats[3] = {std::nanf(""), std::numeric_limits<float>::infinity(), 0.5f};
  std::vector<uint8_t> floatPattern(12);
  std::memcpy(floatPattern.data(), floats, 12);
  feeder.Queue(floatPattern);
  ASSERT_EQ(Run(FillFromMemoryFloat, 40), PF_Err_NONE);
  ASSERT_FALSE(plan_.noBlockFound);
  const PF_PixelFloat& f = *PixelAt<PF_PixelFloat>(world_, 63, 47);
  EXPECT_TRUE(std::isnan(f.red));
  EXPECT_EQ(f.green, std::numeric_limits<float>::infinity());
  EXPECT_NEAR(f.blue, 0.5f, 0.0101f);
}

TEST_F(Fill, AlphaAndRowPaddingAreNeverWritten) {
  MakeWorld(37, 23, PF_PixelFormat_ARGB128, 40);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{0x00, 0x00, 0x00, 0x3F});  // 0.5f everywhere
  ASSERT_EQ(Run(FillFromMemoryFloat, 20), PF_Err_NONE);
  for (A_long y = 0; y < 23; ++y) {
    for (A_long x = 0; x < 37; ++x) {
      const PF_PixelFloat& p = *PixelAt<PF_PixelFloat>(world_, x, y);
      uint32_t alphaBits;
      std::memcpy(&alphaBits, &p.alpha, 4);
      ASSERT_EQ(alphaBits, 0xCDCDCDCDu);  // the host's untouched pattern
      ASSERT_NEAR(p.red, 0.5f, 0.0101f);
    }
    const auto* padding = reinterpret_cast<const uint8_t*>(PixelAt<PF_PixelFloat>(world_, 37, y));
    for (int b = 0; b < 40; ++b) ASSERT_EQ(padding[b], 0xCD);
  }
}

TEST_F(Fill, AVeryWideWorldNoisesTheImagesLastColumnToo) {
  MakeWorld(30000, 4, PF_PixelFormat_ARGB128);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{0x00, 0x00, 0x00, 0x3F});
  ASSERT_EQ(Run(FillFromMemoryFloat, 250), PF_Err_NONE);
  EXPECT_EQ(plan_.imageWidth, 22500);
  EXPECT_EQ(plan_.imageHeight, 3);
  const PF_PixelFloat& last = *PixelAt<PF_PixelFloat>(world_, 29999, 3);
  EXPECT_NE(last.red, 0.5f);  // noise reached the image's last pixel
  EXPECT_NEAR(last.red, 0.5f, 0.0101f);

  host_.Worlds().Dispose(&world_);
  MakeWorld(30000, 4, PF_PixelFormat_ARGB32);
  feeder.Queue(std::vector<uint8_t>{100});
  ASSERT_EQ(Run(FillFromMemory8, 1000), PF_Err_NONE);
  EXPECT_EQ(plan_.imageWidth, 90000);
  EXPECT_EQ(plan_.imageHeight, 12);
}

TEST_F(Fill, SizeOneSplitsTheFrameIntoTwoHalves) {
  MakeWorld(1920, 1080, PF_PixelFormat_ARGB32);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{20, 20, 20, 200, 200, 200});
  ASSERT_EQ(Run(FillFromMemory8, 1), PF_Err_NONE);
  EXPECT_NEAR(PixelAt<PF_Pixel8>(world_, 959, 1079)->red, 20, 1);
  EXPECT_NEAR(PixelAt<PF_Pixel8>(world_, 960, 0)->red, 200, 1);
}

TEST_F(Fill, SizeZeroFindsNothingAndWritesNothing) {
  MakeWorld(40, 30, PF_PixelFormat_ARGB32);
  BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
  EXPECT_EQ(Run(FillFromMemory8, 0), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_EQ(PixelAt<PF_Pixel8>(world_, 5, 5)->red, 0xCD);
}

// Same-depth and cross-depth alike: no search, no temporary world, also when a host gives an
// empty world no pixel memory.
TEST_F(Fill, AnEmptyWorldIsLeftAloneWithoutASearch) {
  using Routine = PF_Err (*)(RenderPlan&, PF_EffectWorld*, PF_InData*, PF_OutData*);
  const struct {
    Routine fill;
    PF_PixelFormat format;
    A_long width, height;
  } cases[] = {{FillFromMemory8, PF_PixelFormat_ARGB32, 0, 30},
               {FillFromMemoryFloat, PF_PixelFormat_ARGB128, 40, 0},
               {RenderCrossDepth16To8, PF_PixelFormat_ARGB32, 0, 30},
               {RenderCrossDepth8ToFloat, PF_PixelFormat_ARGB128, 40, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
    PF_EffectWorld empty{};
    empty.width = c.width;
    empty.height = c.height;
    for (void* data : {static_cast<void*>(&empty), static_cast<void*>(nullptr)}) {
      empty.data = static_cast<PF_PixelPtr>(data);
      BlockFeeder feeder;
      plan_.size = 150;
      EXPECT_EQ(host_.WithinCommand(
                    [&](PF_InData* in, PF_OutData* out) { return c.fill(plan_, &empty, in, out); }),
                PF_Err_NONE);
      EXPECT_FALSE(plan_.noBlockFound);
      EXPECT_EQ(feeder.Allocations(), 0);
    }
  }
  EXPECT_EQ(host_.Faults().Calls("PF_NewWorld"), 0);
}

TEST_F(Fill, AMissingIterateSuiteEndsWith13AndTheMessage) {
  MakeWorld(40, 30, PF_PixelFormat_ARGB32);
  host_.Suites().SetMissing(kPFIterate8Suite, 2);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{100});
  EXPECT_EQ(host_.WithinCommand([&](PF_InData* in, PF_OutData* out) -> PF_Err {
    plan_.size = 20;
    try {
      return FillFromMemory8(plan_, &world_, in, out);
    } catch (int err) {
      return err;
    }
  }),
            A_Err_MISSING_SUITE);
  EXPECT_STREQ(host_.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
}
