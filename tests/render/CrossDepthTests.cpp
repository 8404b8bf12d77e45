#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/CrossDepth.h"
#include "render/PixelTraits.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::host::WorldSpec;
using kelvrix::testing::BlockFeeder;

namespace {
constexpr float kInf = std::numeric_limits<float>::infinity();
}

TEST(Convert, SixteenToEightRoundsHalfAwayWithoutClamping) {
  EXPECT_EQ(Convert16To8(0), 0);
  EXPECT_EQ(Convert16To8(16384), 128);  // 127.5
  EXPECT_EQ(Convert16To8(32767), 255);
  EXPECT_EQ(Convert16To8(129), 1);
  EXPECT_EQ(Convert16To8(64), 0);
}

TEST(Convert, FloatToEightClampsNanAndInfinityToTheEnds) {
  EXPECT_EQ(ConvertFloatTo8(1.0f), 255);
  EXPECT_EQ(ConvertFloatTo8(0.5f), 128);
  EXPECT_EQ(ConvertFloatTo8(0.002f), 1);
  EXPECT_EQ(ConvertFloatTo8(7.5f), 255);
  EXPECT_EQ(ConvertFloatTo8(-0.2f), 0);
  EXPECT_EQ(ConvertFloatTo8(std::nanf("")), 255);
  EXPECT_EQ(ConvertFloatTo8(kInf), 255);
  EXPECT_EQ(ConvertFloatTo8(-kInf), 0);
}

TEST(Convert, EightToSixteenKeepsTheEightBitSteps) {
  EXPECT_EQ(Convert8To16(1), 128);
  EXPECT_EQ(Convert8To16(255), 32640);
  EXPECT_EQ(Convert8To16(0), 0);
}

TEST(Convert, FloatToSixteenClampsToTheHostsWhite) {
  EXPECT_EQ(ConvertFloatTo16(1.0f), 32768);
  EXPECT_EQ(ConvertFloatTo16(0.5f), 16384);
  EXPECT_EQ(ConvertFloatTo16(2.0f), 32768);
  EXPECT_EQ(ConvertFloatTo16(std::nanf("")), 32768);
  EXPECT_EQ(ConvertFloatTo16(-0.25f), 0);
  EXPECT_EQ(ConvertFloatTo16(-kInf), 0);
}

TEST(Convert, IntegersToFloatScaleByTheirWhite) {
  EXPECT_EQ(Convert8ToFloat(255), 1.0f);
  EXPECT_EQ(Convert8ToFloat(0), 0.0f);
  EXPECT_EQ(Convert16ToFloat(32767), 0.999969482421875f);
  EXPECT_EQ(Convert16ToFloat(32768), 1.0f);
}

namespace {

class CrossDepth : public ::testing::Test {
 protected:
  void TearDown() override { host_.Worlds().Dispose(&output_); }
  void MakeOutput(PF_PixelFormat format, A_long padding) {
    WorldSpec shape;
    shape.width = 50;
    shape.height = 20;
    shape.format = format;
    shape.rowPaddingBytes = padding;
    shape.fillByte = 0;  // alpha 0 before the conversion
    ASSERT_EQ(host_.Worlds().Create(shape, &output_), PF_Err_NONE);
  }
  PF_Err Run(PF_Err (*render)(RenderPlan&, PF_EffectWorld*, PF_InData*, PF_OutData*)) {
    plan_.size = 30;
    plan_.noBlockFound = false;
    return host_.WithinCommand([&](PF_InData* in, PF_OutData* out) -> PF_Err {
      try {
        return render(plan_, &output_, in, out);
      } catch (int err) {
        return err;
      }
    });
  }

  SimHost host_{kelvrix::testing::LinkedPlugin()};
  RenderPlan plan_;
  PF_EffectWorld output_{};
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(30)};
};

}  // namespace

TEST_F(CrossDepth, EightBitMemoryLandsInSixteenBitsWithAlphaAndPaddingUntouched) {
  MakeOutput(PF_PixelFormat_ARGB64, 24);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{100});
  ASSERT_EQ(Run(RenderCrossDepth8To16), PF_Err_NONE);
  for (A_long y = 0; y < 20; ++y) {
    for (A_long x = 0; x < 50; ++x) {
      const PF_Pixel16& p = *PixelAt<PF_Pixel16>(output_, x, y);
      ASSERT_EQ(p.alpha, 0);
      ASSERT_TRUE(p.red == 99 * 128 || p.red == 100 * 128 || p.red == 101 * 128) << p.red;
    }
    const auto* padding = reinterpret_cast<const uint8_t*>(PixelAt<PF_Pixel16>(output_, 50, y));
    for (int b = 0; b < 24; ++b) ASSERT_EQ(padding[b], 0);
  }
  EXPECT_EQ(host_.Worlds().Live(), 1u);  // the temporary world is gone
}

TEST_F(CrossDepth, FloatMemoryLandsInEightBitsClamped) {
  MakeOutput(PF_PixelFormat_ARGB32, 0);
  // Two memory pixels, (NaN, -3, 0.5) and (0.7, 0.9, 0.6): 2 of 6 samples dark.
  const float samples[6] = {std::nanf(""), -3.0f, 0.5f, 0.7f, 0.9f, 0.6f};
  std::vector<uint8_t> pattern(sizeof samples);
  std::memcpy(pattern.data(), samples, sizeof samples);
  BlockFeeder feeder;
  feeder.Queue(pattern);
  ASSERT_EQ(Run(RenderCrossDepthFloatTo8), PF_Err_NONE);
  int nanPixels = 0;
  for (A_long y = 0; y < 20; ++y) {
    for (A_long x = 0; x < 50; ++x) {
      const PF_Pixel8& p = *PixelAt<PF_Pixel8>(output_, x, y);
      ASSERT_EQ(p.alpha, 0);
      if (p.green == 0) {  // from (NaN, -3, 0.5): NaN and -3 clamp to the ends
        ++nanPixels;
        ASSERT_EQ(p.red, 255);
        ASSERT_NEAR(p.blue, 128, 3);
      } else {
        ASSERT_NEAR(p.red, 179, 3);
        ASSERT_NEAR(p.green, 230, 3);
      }
    }
  }
  EXPECT_GT(nanPixels, 0);
}

TEST_F(CrossDepth, NoUsableBlockLeavesTheOutputAloneAndDisposesTheTemporaryWorld) {
  MakeOutput(PF_PixelFormat_ARGB128, 0);
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  EXPECT_EQ(Run(RenderCrossDepth16ToFloat), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_EQ(PixelAt<PF_PixelFloat>(output_, 3, 3)->red, 0.0f);
  EXPECT_EQ(host_.Worlds().Live(), 1u);
}

TEST_F(CrossDepth, AWorldTheHostCannotMakeIsItsErrorAndNothingIsFilled) {
  MakeOutput(PF_PixelFormat_ARGB32, 0);
  host_.Faults().Fail("PF_NewWorld", PF_Err_OUT_OF_MEMORY);
  BlockFeeder feeder;
  EXPECT_EQ(Run(RenderCrossDepth16To8), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(feeder.Allocations(), 0);
  EXPECT_EQ(host_.Worlds().Live(), 1u);
}

TEST_F(CrossDepth, AMissingIterateSuiteGives13AndStillDisposesTheTemporaryWorld) {
  MakeOutput(PF_PixelFormat_ARGB32, 0);
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>{0x00, 0x40});
  host_.Suites().SetMissing(kPFIterate8Suite, 2);
  EXPECT_EQ(Run(RenderCrossDepth16To8), A_Err_MISSING_SUITE);
  EXPECT_EQ(host_.Worlds().Live(), 1u);
  EXPECT_TRUE(host_.Suites().Unbalanced().empty());
}

TEST_F(CrossDepth, AMissingWorldSuiteGives13WithTheMessage) {
  MakeOutput(PF_PixelFormat_ARGB32, 0);
  host_.Suites().SetMissing(kPFWorldSuite, 2);
  EXPECT_EQ(Run(RenderCrossDepth16To8), A_Err_MISSING_SUITE);
  EXPECT_STREQ(host_.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
}
