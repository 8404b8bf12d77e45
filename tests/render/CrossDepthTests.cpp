#include <limits>

#include "render/CrossDepth.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::host::WorldSpec;
using kelvrix::testing::BlockFeeder;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// Each converter against values worked out by hand: half-way rounds away from zero, NaN and
// +inf clamp to the top (the 16-bit ones share the clamp), the 8-bit steps survive in 16 bits,
// 16-bit white is 32768.
TEST(Convert, EachPairGivesItsWorkedValues) {
#define CASE(expression, want) \
  { #expression, static_cast < double>(expression), want }
  const struct {
    const char* what;
    double got, want;
  } cases[] = {
      // clang-format off
      CASE(Convert16To8(16384), 128),      CASE(Convert16To8(32767), 255),
      CASE(Convert16To8(129), 1),          CASE(Convert16To8(64), 0),
      CASE(ConvertFloatTo8(1.0f), 255),    CASE(ConvertFloatTo8(0.5f), 128),
      CASE(ConvertFloatTo8(0.002f), 1),    CASE(ConvertFloatTo8(7.5f), 255),
      CASE(ConvertFloatTo8(-0.2f), 0),     CASE(ConvertFloatTo8(kNan), 255),
      CASE(ConvertFloatTo8(kInf), 255),    CASE(ConvertFloatTo8(-kInf), 0),
      CASE(Convert8To16(1), 128),          CASE(Convert8To16(255), 32640),
      CASE(ConvertFloatTo16(1.0f), 32768), CASE(ConvertFloatTo16(0.5f), 16384),
      CASE(ConvertFloatTo16(kNan), 32768), CASE(Convert8ToFloat(255), 1.0),
      CASE(Convert16ToFloat(32767), 0.999969482421875),
      // clang-format on
  };
#undef CASE
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

// No usable block, a world the host cannot make, a missing iterate or world suite: the output
// keeps its pixels, the temporary world is disposed of and every suite is given back.
TEST(CrossDepth, WhenNothingCanBeConvertedTheOutputIsLeftAloneAndAllIsReleased) {
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(30));
  SimHost host(kelvrix::testing::LinkedPlugin());
  PF_EffectWorld output{};
  WorldSpec shape;
  shape.width = 50, shape.height = 20, shape.format = PF_PixelFormat_ARGB128, shape.fillByte = 0;
  ASSERT_EQ(host.Worlds().Create(shape, &output), PF_Err_NONE);
  const PF_Err want[] = {PF_Err_NONE, PF_Err_OUT_OF_MEMORY, A_Err_MISSING_SUITE,
                         A_Err_MISSING_SUITE};
  for (int c = 0; c < 4; ++c) {
    SCOPED_TRACE(c);
    BlockFeeder feeder;
    if (c == 2) feeder.Queue({0x00, 0x40});
    if (c == 1) host.Faults().Fail("PF_NewWorld", PF_Err_OUT_OF_MEMORY, 0, 1);
    const char* missing = c == 2 ? kPFIterate8Suite : kPFWorldSuite;
    if (c >= 2) host.Suites().SetMissing(missing, 2);
    RenderPlan plan;
    plan.size = 30;
    EXPECT_EQ(host.WithinCommand([&](PF_InData* in, PF_OutData* out) -> PF_Err {
      try {
        return RenderCrossDepth16ToFloat(plan, &output, in, out);
      } catch (int err) {  // a missing suite, as the entry point would catch it
        return err;
      }
    }),
              want[c]);
    EXPECT_EQ(plan.noBlockFound, c == 0);
    EXPECT_EQ(feeder.Allocations() > 0, c == 0 || c == 2);  // the fill ran
    EXPECT_EQ(PixelAt<PF_PixelFloat>(output, 3, 3)->red, 0.0f);
    EXPECT_EQ(host.Worlds().Live(), 1u);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
    if (c >= 2) {
      EXPECT_STREQ(host.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
      host.Suites().SetMissing(missing, 2, false);
    }
  }
  host.Worlds().Dispose(&output);
}

}  // namespace
