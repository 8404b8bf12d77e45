#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "render/BulkMt19937.h"
#include "render/CrossDepth.h"
#include "render/Isa.h"
#include "render/NativeFill.h"
#include "render/NoiseSteps.h"
#include "render/PixelTraits.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::PixelAt;
using kelvrix::testing::BlockFeeder;

namespace {

using FillFunction = PF_Err (*)(RenderPlan&, PF_EffectWorld*, PF_InData*, PF_OutData*);
constexpr float kInf = std::numeric_limits<float>::infinity();

template <typename T>
std::vector<uint8_t> Bytes(std::initializer_list<T> values) {
  std::vector<uint8_t> bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), values.begin(), bytes.size());
  return bytes;
}

// Fills a fresh world from a block of `memory` repeated (none: the feeder's blank blocks).
class Fill : public ::testing::Test {
 protected:
  PF_Err Run(FillFunction fill, PF_PixelFormat format, A_long width, A_long height, int32_t size,
             std::vector<uint8_t> memory, A_long padding = 0) {
    if (world_.data != nullptr) host_.Worlds().Dispose(&world_);
    host::WorldSpec shape;
    shape.width = width;
    shape.height = height;
    shape.format = format;
    shape.rowPaddingBytes = padding;
    EXPECT_EQ(host_.Worlds().Create(shape, &world_), PF_Err_NONE);
    if (!memory.empty()) feeder_.Queue(std::move(memory));
    plan_.size = size;
    return host_.WithinCommand(
        [&](PF_InData* in, PF_OutData* out) { return fill(plan_, &world_, in, out); });
  }
  void TearDown() override { host_.Worlds().Dispose(&world_); }
  template <typename Pixel>
  const Pixel& At(A_long x, A_long y) const {
    return *PixelAt<Pixel>(world_, x, y);
  }

  host::SimHost host_{kelvrix::testing::LinkedPlugin()};
  RenderPlan plan_;
  PF_EffectWorld world_{};
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(50)};
  BlockFeeder feeder_;
};

}  // namespace

TEST(ImageSize, MatchesTheWorkedExamplesAndRefusesWorldsWithoutAnAddressableImage) {
  const A_long kMax = std::numeric_limits<A_long>::max();
  const struct {
    int32_t size;
    A_long w, h;
    int32_t channelBytes;
    bool valid;
    int32_t width, height;
    size_t block;
  } cases[] = {{150, 1920, 1080, 1, true, 201, 113, 68139},
               {75, 1920, 1080, 2, true, 102, 57, 34884},
               {37, 1920, 1080, 4, true, 50, 28, 16800},
               {150, 1000, 1000, 1, true, 150, 150, 67500},
               {1, 1920, 1080, 1, true, 2, 1, 6},
               {1, 1000, 1000, 1, true, 1, 1, 3},
               {0, 1920, 1080, 1, true, 0, 0, 0},
               {1000, 30000, 4, 1, true, 90000, 12, 3240000},
               {150, 0, 1080, 1, false, 0, 0, 0},
               {150, 1920, 0, 1, false, 0, 0, 0},
               {150, -5, 10, 1, false, 0, 0, 0},
               {1000, kMax, 1, 4, false, 0, 0, 0},
               {-1, 100, 100, 1, false, 0, 0, 0}};
  for (const auto& c : cases) {
    const MemoryImageSize i = ImageSizeFor(c.size, c.w, c.h, c.channelBytes);
    EXPECT_EQ(std::make_tuple(i.valid, i.width, i.height, i.blockBytes),
              std::make_tuple(c.valid, c.width, c.height, c.block))
        << c.size << " on " << c.w << "x" << c.h;
  }
}

TEST(Noise, RoundsHalvesAwayFromZeroAndClampsPerDepth) {
  // Explicit values: some C libraries' lround gets the largest double below 0.5 wrong.
  const std::pair<double, long> doubles[] = {{0.5, 1},
                                             {-0.5, -1},
                                             {1.5, 2},
                                             {-1.5, -2},
                                             {2.5, 3},
                                             {0.4, 0},
                                             {-0.6, -1},
                                             {-0.0, 0},
                                             {32767.5, 32768},
                                             {0.49999999999999994, 0},
                                             {-0.49999999999999994, 0},
                                             {1e9 + 0.5, 1000000001}};
  for (const auto& [v, rounded] : doubles) EXPECT_EQ(RoundHalfAway(v), rounded) << v;
  const std::pair<float, int32_t> singles[] = {{0.5f, 1},        {-0.5f, -1}, {0.49999997f, 0},
                                               {-0.45f, 0},      {2.5f, 3},   {-2.5f, -3},
                                               {32767.5f, 32768}};
  for (const auto& [v, rounded] : singles) EXPECT_EQ(RoundHalfAway(v), rounded) << v;
  EXPECT_EQ(Depth8::AddNoise(255, 1.49), 255);
  EXPECT_EQ(Depth8::AddNoise(0, -1.49), 0);
  EXPECT_EQ(Depth8::AddNoise(100, 0.5), 101);
  EXPECT_EQ(Depth8::AddNoise(100, -0.5), 99);
  EXPECT_EQ(Depth16::AddNoise(65535, 150.0), 32767);  // raw 16-bit memory is halved
  EXPECT_EQ(Depth16::AddNoise(65535, -150.0), 32692);
  EXPECT_EQ(Depth16::AddNoise(0, -150.0), 0);
  EXPECT_EQ(Depth16::AddNoise(0, 100.0), 50);
  EXPECT_EQ(Depth16::AddNoise(329, 0.0), 164);
  EXPECT_TRUE(std::isnan(DepthFloat::AddNoise(std::nanf(""), 0.005)));
  EXPECT_EQ(DepthFloat::AddNoise(kInf, -0.01), kInf);
  EXPECT_EQ(DepthFloat::AddNoise(-1e30f, 0.01), -1e30f);
}

// Both builds of the hot loops that this processor can run.
std::vector<Isa> RunnableIsas() {
  std::vector<Isa> isas = {Isa::kBaseline};
  if (DetectedIsa() == Isa::kAvx2) isas.push_back(Isa::kAvx2);
  return isas;
}

TEST(Noise, BulkDrawsAreStdMt19937sOutputsBitForBit) {
  for (Isa isa : RunnableIsas()) {
    SCOPED_TRACE(isa == Isa::kAvx2 ? "AVX2" : "baseline");
    // The generator's published check: the 10000th output of the default seed, 5489.
    BulkMt19937 standard(5489, isa);
    uint32_t block[BulkMt19937::kBlockSize];
    for (size_t i = 0; i <= 9999 / BulkMt19937::kBlockSize; ++i) standard.NextBlock(block);
    EXPECT_EQ(block[9999 % BulkMt19937::kBlockSize], 4123659995u);
    std::vector<uint32_t> seeds = {0u, 1u, 5489u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    std::mt19937 seedSource(7);
    for (int i = 0; i < 200; ++i) seeds.push_back(static_cast<uint32_t>(seedSource()));
    for (uint32_t seed : seeds) {
      std::mt19937 reference(seed);
      BulkMt19937 bulk(seed, isa);
      for (int refill = 0; refill < 12; ++refill) {
        bulk.NextBlock(block);
        uint32_t expected[BulkMt19937::kBlockSize];
        for (uint32_t& v : expected) v = static_cast<uint32_t>(reference());
        ASSERT_EQ(std::memcmp(block, expected, sizeof block), 0) << seed << " refill " << refill;
      }
    }
  }
}

// Every count up to a block and over, channels at and near both ends, draws at and around the
// thresholds: each build adds what StepOf gives, clamped.
TEST(Noise, BothBuildsOfTheStepLoopAddTheStepOfEachChannel) {
  const NoiseSteps steps = NoiseStepsFor(-1.49, 1.49);
  ASSERT_TRUE(steps.valid);
  std::mt19937 random(9);
  std::vector<uint32_t> draws(2 * 333);
  std::vector<uint8_t> channels(333);
  const uint8_t kEnds[] = {0, 1, 254, 255};
  for (size_t i = 0; i < channels.size(); ++i) {
    const int k = static_cast<int>(i % 3) - 1;  // a threshold, or random
    draws[2 * i] = k < 0 ? static_cast<uint32_t>(random()) : steps.riseLow[k] - (i % 2);
    draws[2 * i + 1] = k < 0 ? static_cast<uint32_t>(random()) : steps.riseHigh[k];
    channels[i] = i % 5 == 0 ? kEnds[i / 5 % 4] : static_cast<uint8_t>(random());
  }
  for (Isa isa : RunnableIsas()) {
    for (size_t count : {size_t{0}, size_t{1}, size_t{31}, size_t{32}, size_t{33}, size_t{333}}) {
      SCOPED_TRACE(::testing::Message() << (isa == Isa::kAvx2 ? "AVX2 " : "baseline ") << count);
      std::vector<uint8_t> out = channels;
      AddNoiseSteps(steps, draws.data(), out.data(), count, isa);
      for (size_t c = 0; c < channels.size(); ++c) {
        const int v = channels[c] + (c < count ? steps.StepOf(draws[2 * c], draws[2 * c + 1]) : 0);
        ASSERT_EQ(out[c], std::clamp(v, 0, 255)) << c;
      }
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
  std::vector<Channel> expected(401 * 3 * 3), block(expected.size());
  std::mt19937 bytes(11);
  for (Channel& c : block) {
    uint32_t r = static_cast<uint32_t>(bytes());
    std::memcpy(&c, &r, sizeof c);
  }
  std::mt19937 engine;
  for (size_t i = 0; i < block.size(); ++i) {
    if (i % (401 * 3) == 0) engine.seed(NoiseRowSeed(plan.rowSeedBase, A_long(i / (401 * 3))));
    expected[i] = Depth::AddNoise(block[i], DrawNoise(engine, low, high));
  }
  plan.block = reinterpret_cast<uint8_t*>(block.data());
  for (A_long y = 0; y < plan.imageHeight; ++y) addNoiseRow(&plan, 0, y, plan.imageHeight);
  EXPECT_EQ(std::memcmp(block.data(), expected.data(), block.size() * sizeof(Channel)), 0);
}

TEST(Noise, EachDepthsPassGivesTheDrawsOfStdMt19937InOrder) {
  ExpectNoiseAsDrawnOneByOne<Depth8>(AddNoiseRow8, -1.49, 1.49);
  ExpectNoiseAsDrawnOneByOne<Depth8>(AddNoiseRow8, -3.2, 3.2);  // too many steps: the doubles
  ExpectNoiseAsDrawnOneByOne<Depth16>(AddNoiseRow16, -150.0, 150.0);
  ExpectNoiseAsDrawnOneByOne<DepthFloat>(AddNoiseRowFloat, -0.01, 0.01);
}

// Half away from zero by the exact fraction. Not std::lround: MinGW's adds 0.5 first, which
// rounds -0.49999999999999994 to -1.
long RoundedByFraction(double v) {
  const double whole = std::trunc(v);
  const double fraction = v - whole;
  return static_cast<long>(whole) + (fraction >= 0.5) - (fraction <= -0.5);
}

// The 8-bit steps against the design's arithmetic rounded half away from zero: at 0, at the top,
// on both sides of every threshold and at random draws; bounds the steps cannot stand for are
// refused.
TEST(Noise, StepsAreTheRoundedArithmeticAtEveryThreshold) {
  const double nan = std::nan("");
  const struct {
    double low, high;
    bool valid;
  } kBounds[] = {{-1.49, 1.49, true}, {-0.5, 0.5, true},  {-1.0, 1.0, true}, {0.2, 1.7, true},
                 {-2.4, -0.6, true},  {0.0, 0.0, true},   {0.5, 0.5, true},  {-3.2, 3.2, false},
                 {-1.2, 1.7, false},  {1.0, -1.0, false}, {nan, 1.0, false}, {-1.0, kInf, false}};
  std::mt19937_64 random(5);
  for (const auto& b : kBounds) {
    SCOPED_TRACE(::testing::Message() << b.low << ".." << b.high);
    const NoiseSteps steps = NoiseStepsFor(b.low, b.high);
    ASSERT_EQ(steps.valid, b.valid);
    if (!b.valid) continue;
    const auto expected = [&](uint64_t x) {
      return RoundedByFraction(NoiseFromDraws(uint32_t(x), uint32_t(x >> 32), b.low, b.high));
    };
    std::vector<uint64_t> xs = {0, 1, UINT64_MAX - 1, UINT64_MAX};
    int rises = 0;
    for (int k = 0; k < NoiseSteps::kMaxRises; ++k) {
      if (steps.inUse[k] == 0) continue;
      ++rises;
      const uint64_t rise = uint64_t{steps.riseHigh[k]} << 32 | steps.riseLow[k];
      EXPECT_LT(expected(rise - 1), expected(rise));
      xs.insert(xs.end(), {rise - 1, rise, rise + 1});
    }
    EXPECT_EQ(rises, expected(UINT64_MAX) - expected(0));
    for (int i = 0; i < 100000; ++i) xs.push_back(random());
    for (uint64_t x : xs) {
      ASSERT_EQ(steps.StepOf(uint32_t(x), uint32_t(x >> 32)), expected(x)) << x;
    }
  }
}

// Memory pixel i carries its index in 15 bits, five per channel, each as 8k + 4 so that the
// fill's +-1 noise at 8 bpc can never change what it decodes to.
TEST_F(Fill, EveryWorldPixelShowsTheMemoryPixelOfItsRowAndColumn) {
  std::vector<uint8_t> indexed;
  for (int32_t i = 0; i < 201 * 113; ++i) {
    for (int shift : {0, 5, 10})
      indexed.push_back(static_cast<uint8_t>(8 * ((i >> shift) & 31) + 4));
  }
  ASSERT_EQ(Run(FillFromMemory8, PF_PixelFormat_ARGB32, 1920, 1080, 150, indexed), PF_Err_NONE);
  EXPECT_EQ(std::make_tuple(plan_.noBlockFound, plan_.imageWidth, plan_.imageHeight),
            std::make_tuple(false, 201, 113));
  const auto index = [&](A_long x, A_long y) {
    const PF_Pixel8& p = At<PF_Pixel8>(x, y);
    return (p.red / 8) | (p.green / 8) << 5 | (p.blue / 8) << 10;
  };
  EXPECT_EQ(std::make_tuple(index(0, 0), index(10, 0), index(0, 540), index(1919, 1079)),
            std::make_tuple(0, 1, 11256, 22712));
  for (A_long y = 0; y < 1080; y += 7) {
    const int32_t row = static_cast<int32_t>(113 * y / 1080);
    int32_t previous = row * 201;
    for (A_long x = 0; x < 1920; ++x) {
      const int32_t i = index(x, y);
      ASSERT_TRUE(i >= previous && i < row * 201 + 201) << x << "," << y;  // monotonic, in row
      previous = i;
    }
    EXPECT_EQ(previous, row * 201 + 200);  // the row reaches the image's last column
  }
}

TEST_F(Fill, EachDepthShowsItsMemoryWithinItsNoise) {
  ASSERT_EQ(Run(FillFromMemory8, PF_PixelFormat_ARGB32, 300, 200, 150, {100}), PF_Err_NONE);
  int moved = 0;
  for (A_long i = 0; i < 300 * 200; ++i) {
    const PF_Pixel8& p = At<PF_Pixel8>(i % 300, i / 300);
    for (int c : {p.red, p.green, p.blue}) {
      ASSERT_NEAR(c, 100, 1);
      moved += c != 100;
    }
  }
  EXPECT_GT(moved, 0);

  const std::vector<uint8_t> pattern16 = Bytes<uint16_t>({65535, 20000, 4000});
  ASSERT_EQ(Run(FillFromMemory16, PF_PixelFormat_ARGB64, 64, 48, 40, pattern16), PF_Err_NONE);
  for (A_long i = 0; i < 64 * 48; ++i) {
    const PF_Pixel16& p = At<PF_Pixel16>(i % 64, i / 64);
    ASSERT_TRUE(p.red >= 32692 && p.red <= 32767) << p.red;  // halved, noise +-150 before
    ASSERT_NEAR(p.green, 10000, 75);
    ASSERT_NEAR(p.blue, 2000, 75);
  }

  // A very wide world, with row padding: NaN and infinity kept, alpha and padding never written
  // and the noise reaching the image's last pixel.
  const std::vector<uint8_t> patternF = Bytes<float>({std::nanf(""), kInf, 0.5f});
  ASSERT_EQ(Run(FillFromMemoryFloat, PF_PixelFormat_ARGB128, 30000, 4, 250, patternF, 40),
            PF_Err_NONE);
  EXPECT_EQ(std::make_tuple(plan_.imageWidth, plan_.imageHeight), std::make_tuple(22500, 3));
  for (A_long y = 0; y < 4; ++y) {
    for (A_long x = 0; x < 30000; ++x) {
      const PF_PixelFloat& p = At<PF_PixelFloat>(x, y);
      uint32_t alpha;
      std::memcpy(&alpha, &p.alpha, 4);
      ASSERT_EQ(alpha, 0xCDCDCDCDu);  // the host's untouched pattern
      ASSERT_TRUE(std::isnan(p.red) && p.green == kInf) << x << "," << y;
      ASSERT_NEAR(p.blue, 0.5f, 0.0101f);
    }
    const auto* padding = reinterpret_cast<const uint8_t*>(&At<PF_PixelFloat>(30000, y));
    EXPECT_EQ(std::vector<uint8_t>(padding, padding + 40), std::vector<uint8_t>(40, 0xCD));
  }
  EXPECT_NE(At<PF_PixelFloat>(29999, 3).blue, 0.5f);
}

TEST_F(Fill, SizeOneSplitsTheFrameIntoTwoHalvesAndSizeZeroFindsNothing) {
  ASSERT_EQ(Run(FillFromMemory8, PF_PixelFormat_ARGB32, 1920, 1080, 1, {20, 20, 20, 200, 200, 200}),
            PF_Err_NONE);
  EXPECT_NEAR(At<PF_Pixel8>(959, 1079).red, 20, 1);
  EXPECT_NEAR(At<PF_Pixel8>(960, 0).red, 200, 1);
  EXPECT_EQ(Run(FillFromMemory8, PF_PixelFormat_ARGB32, 40, 30, 0, {}), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_EQ(At<PF_Pixel8>(5, 5).red, 0xCD);
}

// Same-depth and cross-depth alike: no search, no temporary world, also when a host gives an
// empty world no pixel memory.
TEST_F(Fill, AnEmptyWorldIsLeftAloneWithoutASearch) {
  const struct {
    FillFunction fill;
    A_long width, height;
  } cases[] = {{FillFromMemory8, 0, 30},
               {FillFromMemoryFloat, 40, 0},
               {RenderCrossDepth16To8, 0, 30},
               {RenderCrossDepth8ToFloat, 40, 0}};
  for (const auto& c : cases) {
    for (bool data : {true, false}) {
      SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " data " << data);
      PF_EffectWorld empty{};
      empty.width = c.width;
      empty.height = c.height;
      empty.data = data ? reinterpret_cast<PF_PixelPtr>(&empty) : nullptr;
      plan_.size = 150;
      EXPECT_EQ(host_.WithinCommand(
                    [&](PF_InData* in, PF_OutData* out) { return c.fill(plan_, &empty, in, out); }),
                PF_Err_NONE);
      EXPECT_FALSE(plan_.noBlockFound);
    }
  }
  EXPECT_EQ(feeder_.Allocations(), 0);
  EXPECT_EQ(host_.Faults().Calls("PF_NewWorld"), 0);
}

TEST_F(Fill, AMissingIterateSuiteEndsWith13AndTheMessage) {
  host_.Suites().SetMissing(kPFIterate8Suite, 2);
  EXPECT_EQ(
      Run(
          [](RenderPlan& plan, PF_EffectWorld* world, PF_InData* in, PF_OutData* out) -> PF_Err {
            try {
              return FillFromMemory8(plan, world, in, out);
            } catch (int err) {
              return err;
            }
          },
          PF_PixelFormat_ARGB32, 40, 30, 20, {100}),
      A_Err_MISSING_SUITE);
  EXPECT_STREQ(host_.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
}
