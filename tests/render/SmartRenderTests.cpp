// Whole frames through EffectMain in the simulated host: pre-render, render, the nine
// combinations of project depth and style, the finishing pass and the failure paths.
#include <gtest/gtest.h>

#include <cstring>

#include "render/BlockSearch.h"
#include "render/RenderPlan.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::Frame;
using kelvrix::host::HostOptions;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::testing::BlockFeeder;
using kelvrix::testing::LinkedPlugin;

namespace {

HostOptions Project(PF_PixelFormat format, A_long padding = 0) {
  return kelvrix::testing::SmallProject(format, 160, 90, padding);
}

struct RenderCase {
  PF_PixelFormat format;
  int style;  // 1, 2 or 3
};

class Frames : public ::testing::TestWithParam<RenderCase> {
 protected:
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(30)};
};

void PrepareInstance(SimHost& host, int style) {
  ASSERT_TRUE(kelvrix::testing::SetUpInstance(host, style));
}

// Red, green, blue and alpha of a pixel as fractions of the depth's white.
std::array<double, 4> Channels(const PF_EffectWorld& world, PF_PixelFormat format, A_long x,
                               A_long y) {
  switch (format) {
    case PF_PixelFormat_ARGB32: {
      const PF_Pixel8& p = *PixelAt<PF_Pixel8>(world, x, y);
      return {p.red / 255.0, p.green / 255.0, p.blue / 255.0, p.alpha / 255.0};
    }
    case PF_PixelFormat_ARGB64: {
      const PF_Pixel16& p = *PixelAt<PF_Pixel16>(world, x, y);
      return {p.red / 32768.0, p.green / 32768.0, p.blue / 32768.0, p.alpha / 32768.0};
    }
    default: {
      const PF_PixelFloat& p = *PixelAt<PF_PixelFloat>(world, x, y);
      return {p.red, p.green, p.blue, p.alpha};
    }
  }
}

void ExpectEverythingGivenBack(SimHost& host, const Frame& frame) {
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  EXPECT_EQ(frame.pixelCheckins, frame.pixelCheckouts);
  EXPECT_EQ(host.LiveEffectRefs(), 0u);
  EXPECT_EQ(host.LiveParamCheckouts(), 0);
  EXPECT_EQ(host.Worlds().Live(), 2u);  // only the frame's own input and output
  EXPECT_EQ(frame.preRenderDataFrees, 1);
}

}  // namespace

TEST_P(Frames, MemoryFillsTheFrameWithFullAlpha) {
  const RenderCase c = GetParam();
  SimHost host(LinkedPlugin(), Project(c.format, 16));
  PrepareInstance(host, c.style);
  BlockFeeder feeder;
  // Half-grey memory at the style's depth: 8-bit 128, 16-bit 32768 (halved to 16384),
  // float 0.5.
  switch (c.style) {
    case 1:
      feeder.Queue({128});
      break;
    case 2:
      feeder.Queue({0x00, 0x80});
      break;
    default:
      feeder.Queue({0x00, 0x00, 0x00, 0x3F});
      break;
  }
  auto frame = host.NewFrame();
  ASSERT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
  for (A_long y = 0; y < 90; y += 3) {
    for (A_long x = 0; x < 160; x += 3) {
      const auto ch = Channels(frame->output, c.format, x, y);
      ASSERT_NEAR(ch[0], 0.5, 0.02) << x << "," << y;
      ASSERT_NEAR(ch[2], 0.5, 0.02) << x << "," << y;
      ASSERT_EQ(ch[3], 1.0) << x << "," << y;
    }
  }
  for (A_long y = 0; y < 90; ++y) {
    const auto* padding = reinterpret_cast<const uint8_t*>(
        static_cast<const char*>(static_cast<void*>(frame->output.data)) +
        static_cast<size_t>(y) * frame->output.rowbytes + frame->output.rowbytes - 16);
    for (int b = 0; b < 16; ++b) ASSERT_EQ(padding[b], 0xCD);
  }
  frame.reset();
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  EXPECT_EQ(host.Worlds().Live(), 0u);
  EXPECT_EQ(host.LiveEffectRefs(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    NineCombinations, Frames,
    ::testing::Values(RenderCase{PF_PixelFormat_ARGB32, 1}, RenderCase{PF_PixelFormat_ARGB32, 2},
                      RenderCase{PF_PixelFormat_ARGB32, 3}, RenderCase{PF_PixelFormat_ARGB64, 1},
                      RenderCase{PF_PixelFormat_ARGB64, 2}, RenderCase{PF_PixelFormat_ARGB64, 3},
                      RenderCase{PF_PixelFormat_ARGB128, 1}, RenderCase{PF_PixelFormat_ARGB128, 2},
                      RenderCase{PF_PixelFormat_ARGB128, 3}));

class Render : public ::testing::Test {
 protected:
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(30)};
};

TEST_F(Render, SixteenBitAlphaIsTheHostsWhiteAndOutsideTheExtentIsUntouched) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB64));
  PrepareInstance(host, 2);
  BlockFeeder feeder;
  feeder.Queue({0x00, 0x40});
  auto frame = host.NewFrame();
  ASSERT_EQ(host.PreRender(*frame), PF_Err_NONE);
  frame->output.extent_hint = PF_LRect{10, 5, 100, 60};
  ASSERT_EQ(host.Render(*frame), PF_Err_NONE);
  EXPECT_EQ(PixelAt<PF_Pixel16>(frame->output, 10, 5)->alpha, 32768);
  EXPECT_EQ(PixelAt<PF_Pixel16>(frame->output, 99, 59)->alpha, 32768);
  EXPECT_EQ(PixelAt<PF_Pixel16>(frame->output, 9, 5)->alpha, 0xCDCD);
  EXPECT_EQ(PixelAt<PF_Pixel16>(frame->output, 100, 30)->alpha, 0xCDCD);
  EXPECT_NEAR(PixelAt<PF_Pixel16>(frame->output, 150, 80)->red, 0x2000, 80);  // filled anyway
  ExpectEverythingGivenBack(host, *frame);
}

TEST_F(Render, WithNoBoxTickedTheColourStaysAndAlphaIsFull) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 0);
  BlockFeeder feeder;
  auto frame = host.NewFrame();
  ASSERT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
  EXPECT_EQ(feeder.Allocations(), 0);
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 7, 7)->red, 0xCD);
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 7, 7)->alpha, 255);
}

TEST_F(Render, AnotherPixelFormatIsLeftUntouchedAndSucceeds) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_BGRA32));
  PrepareInstance(host, 1);
  BlockFeeder feeder;
  auto frame = host.NewFrame();
  ASSERT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
  EXPECT_EQ(feeder.Allocations(), 0);
  const auto* bytes = reinterpret_cast<const uint8_t*>(frame->output.data);
  EXPECT_EQ(bytes[0], 0xCD);
  EXPECT_EQ(bytes[3], 0xCD);
}

TEST_F(Render, ASearchThatRunsOutOfTimeShowsTheCardAndReturnsNone) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 1);
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  auto frame = host.NewFrame();
  ASSERT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
  // Below the text: the input at half brightness, its alpha kept.
  const PF_Pixel8& in = *PixelAt<PF_Pixel8>(frame->input, 155, 85);
  const PF_Pixel8& out = *PixelAt<PF_Pixel8>(frame->output, 155, 85);
  EXPECT_EQ(out.alpha, in.alpha);
  EXPECT_EQ(out.red, in.red / 2);
  EXPECT_EQ(out.blue, in.blue / 2);
  ExpectEverythingGivenBack(host, *frame);
}

TEST_F(Render, AnAbortedSearchReturnsTheAbortCode) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB64));
  PrepareInstance(host, 3);
  BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
  host.ArmAbort(0);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*frame), PF_Interrupt_CANCEL);
  ExpectEverythingGivenBack(host, *frame);
}

TEST_F(Render, ANoBlockMarkFromAnEarlierRenderDoesNotCarryOver) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 1);
  BlockFeeder feeder;
  feeder.Queue({90});
  auto frame = host.NewFrame();
  ASSERT_EQ(host.PreRender(*frame), PF_Err_NONE);
  static_cast<RenderPlan*>(frame->preRender.pre_render_data)->noBlockFound = true;
  ASSERT_EQ(host.Render(*frame), PF_Err_NONE);
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 20, 20)->alpha, 255);
}

TEST_F(Render, WithoutItsPlanRenderReports512) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 1);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.Render(*frame), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(frame->pixelCheckouts, 0);
}

TEST_F(Render, AMissingWorldSuiteGives13TheMessageAndChecksTheInputIn) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 1);
  host.Suites().SetMissing(kPFWorldSuite, 2);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*frame), A_Err_MISSING_SUITE);
  EXPECT_STREQ(host.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_TRUE(host.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  ExpectEverythingGivenBack(host, *frame);
}

TEST_F(Render, AMissingIterateSuiteInTheCrossDepthPathGives13WithEverythingReleased) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB128));
  PrepareInstance(host, 1);
  host.Suites().SetMissing(kPFIterate8Suite, 2);
  BlockFeeder feeder;
  feeder.Queue({100});
  auto frame = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*frame), A_Err_MISSING_SUITE);
  ExpectEverythingGivenBack(host, *frame);
}

TEST_F(Render, AFailedCheckoutSkipsTheRenderAndStillChecksIn) {
  for (const char* function : {"checkout_layer_pixels", "checkout_output", "PF_GetPixelFormat"}) {
    SCOPED_TRACE(function);
    SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
    PrepareInstance(host, 1);
    host.Faults().Fail(function, 1234);
    BlockFeeder feeder;
    auto frame = host.NewFrame();
    EXPECT_EQ(host.RenderFrame(*frame), 1234);
    EXPECT_EQ(feeder.Allocations(), 0);
    EXPECT_EQ(frame->pixelCheckins, 1);
  }
}

TEST_F(Render, ACheckinErrorIsReportedOnlyWhenNothingFailedBefore) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 1);
  host.Faults().Fail("checkin_layer_pixels", 77);
  BlockFeeder feeder;
  feeder.Queue({100});
  auto frame = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*frame), 77);
  host.Faults().Fail("checkout_output", 1234);
  auto second = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*second), 1234);
}

TEST_F(Render, AnEffectReferenceErrorDrawsNothing) {
  SimHost host(LinkedPlugin(), Project(PF_PixelFormat_ARGB32));
  PrepareInstance(host, 1);
  BlockFeeder feeder;
  auto frame = host.NewFrame();
  ASSERT_EQ(host.PreRender(*frame), PF_Err_NONE);
  host.Faults().Fail("AEGP_GetNewEffectForEffect", A_Err_GENERIC);
  EXPECT_EQ(host.Render(*frame), A_Err_GENERIC);
  EXPECT_EQ(feeder.Allocations(), 0);
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 1, 1)->alpha, 0xCD);
}
