#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

// Each converter against values worked out by hand: half-way rounds away from zero, NaN and
// +inf clamp to the top, the 8-bit steps survive in 16 bits, 16-bit white is 32768.
TEST(Convert, EachPairGivesItsWorkedValues) {
#define CASE(expression, want) \
  { #expression, static_cast < double>(expression), want }
  const struct {
    const char* what;
    double got, want;
  } cases[] = {
      CASE(Convert16To8(16384), 128),      CASE(Convert16To8(32767), 255),
      CASE(Convert16To8(129), 1),          CASE(Convert16To8(64), 0),
      CASE(ConvertFloatTo8(1.0f), 255),    CASE(ConvertFloatTo8(0.5f), 128),
      CASE(ConvertFloatTo8(0.002f), 1),    CASE(ConvertFloatTo8(7.5f), 255),
      CASE(ConvertFloatTo8(-0.2f), 0),     CASE(ConvertFloatTo8(std::nanf("")), 255),
      CASE(ConvertFloatTo8(kInf), 255),    CASE(ConvertFloatTo8(-kInf), 0),
      CASE(Convert8To16(1), 128),          CASE(Convert8To16(255), 32640),
      CASE(ConvertFloatTo16(1.0f), 32768), CASE(ConvertFloatTo16(0.5f), 16384),
      CASE(ConvertFloatTo16(2.0f), 32768), CASE(ConvertFloatTo16(std::nanf("")), 32768),
      CASE(ConvertFloatTo16(-0.25f), 0),   CASE(ConvertFloatTo16(-kInf), 0),
      CASE(Convert8ToFloat(255), 1.0),     CASE(Convert16ToFloat(32767), 0.999969482421875),
      CASE(Convert16ToFloat(32768), 1.0),
  };
#undef CASE
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

class CrossDepth : public ::testing::Test {
 protected:
  void TearDown() override { host_.Worlds().Dispose(&output_); }
  void MakeOutput(PF_PixelFormat format, A_long padding = 0) {
    WorldSpec shape;
    shape.width = 50, shape.height = 20, shape.format = format, shape.rowPaddingBytes = padding;
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
  MakeOutput(PF_PixelFormat_ARGB32);
  // Two memory pixels, (NaN, -3, 0.5) and (0.7, 0.9, 0.6): 2 of 6 samples dark.
  const float samples[6] = {std::nanf(""), -3.0f, 0.5f, 0.7f, 0.9f, 0.6f};
  BlockFeeder feeder;
  feeder.Queue(std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(samples),
                                    reinterpret_cast<const uint8_t*>(samples + 6)));
  ASSERT_EQ(Run(RenderCrossDepthFloatTo8), PF_Err_NONE);
  int nanPixels = 0;
  for (A_long y = 0; y < 20; ++y) {
    for (A_long x = 0; x < 50; ++x) {
      const PF_Pixel8& p = *PixelAt<PF_Pixel8>(output_, x, y);
      ASSERT_EQ(p.alpha, 0);
      const bool fromNan = p.green == 0;  // NaN and -3 clamp to the ends
      nanPixels += fromNan ? 1 : 0;
      ASSERT_NEAR(p.red, fromNan ? 255 : 179, fromNan ? 0 : 3);
      ASSERT_NEAR(fromNan ? p.blue : p.green, fromNan ? 128 : 230, 3);
    }
  }
  EXPECT_GT(nanPixels, 0);
}

// No usable block, a world the host cannot make, a missing iterate or world suite: the output
// keeps its pixels, the temporary world is disposed of and every suite is given back.
TEST_F(CrossDepth, WhenNothingCanBeConvertedTheOutputIsLeftAloneAndAllIsReleased) {
  MakeOutput(PF_PixelFormat_ARGB128);
  const PF_Err want[] = {PF_Err_NONE, PF_Err_OUT_OF_MEMORY, A_Err_MISSING_SUITE,
                         A_Err_MISSING_SUITE};
  for (int c = 0; c < 4; ++c) {
    SCOPED_TRACE(c);
    BlockFeeder feeder;
    if (c == 2) feeder.Queue({0x00, 0x40});
    if (c == 1) host_.Faults().Fail("PF_NewWorld", PF_Err_OUT_OF_MEMORY, 0, 1);
    const char* missing = c == 2 ? kPFIterate8Suite : kPFWorldSuite;
    if (c >= 2) host_.Suites().SetMissing(missing, 2);
    EXPECT_EQ(Run(RenderCrossDepth16ToFloat), want[c]);
    EXPECT_EQ(plan_.noBlockFound, c == 0);
    EXPECT_EQ(feeder.Allocations() > 0, c == 0 || c == 2);  // the fill ran
    EXPECT_EQ(PixelAt<PF_PixelFloat>(output_, 3, 3)->red, 0.0f);
    EXPECT_EQ(host_.Worlds().Live(), 1u);
    EXPECT_TRUE(host_.Suites().Unbalanced().empty());
    if (c >= 2) {
      EXPECT_STREQ(host_.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
      host_.Suites().SetMissing(missing, 2, false);
    }
  }
}

}  // namespace
