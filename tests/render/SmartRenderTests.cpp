// Whole frames through EffectMain in the simulated host: every project depth with every style
// (or none), a format not ours, the finishing pass and the failure paths (the card has its own
// tests).
#include <cstring>
#include <optional>

#include "render/RenderPlan.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::testing::BlockFeeder;

namespace {

class Render : public ::testing::Test {
 protected:
  // A 160x90 project with exactly the box of `style` (0: none) ticked.
  SimHost& Project(PF_PixelFormat format, int style, A_long padding = 0) {
    host_.emplace(kelvrix::testing::LinkedPlugin(),
                  kelvrix::testing::SmallProject(format, 160, 90, padding));
    EXPECT_TRUE(kelvrix::testing::SetUpInstance(*host_, style));
    return *host_;
  }
  // With the frame still alive: only its own input and output remain.
  void ExpectEverythingGivenBack(const host::Frame& frame) {
    kelvrix::testing::ExpectAllGivenBack(*host_);
    EXPECT_EQ(host_->Faults().Calls("checkin_layer_pixels"), 1);
    EXPECT_EQ(host_->Worlds().Live(), 2u);
    EXPECT_EQ(frame.preRenderDataFrees, 1);
  }

  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(30)};
  std::optional<SimHost> host_;
};

// Every sampled output pixel shows the memory's colour (a quarter, half and three quarters of
// white), or with no style the host's own; alpha is white inside the extent and as the host left
// it outside.
template <typename Pixel>
void ExpectColours(const PF_EffectWorld& world, double white, const PF_LRect& extent, bool memory) {
  Pixel hostsOwn;
  std::memset(&hostsOwn, 0xCD, sizeof hostsOwn);
  for (A_long y = 0; y < world.height; y += 3) {
    for (A_long x = 0; x < world.width; x += 3) {
      const Pixel& p = *PixelAt<Pixel>(world, x, y);
      const bool inside =
          x >= extent.left && x < extent.right && y >= extent.top && y < extent.bottom;
      ASSERT_NEAR(p.red / white, memory ? 0.25 : hostsOwn.red / white, 0.02) << x << "," << y;
      ASSERT_NEAR(p.green / white, memory ? 0.5 : hostsOwn.green / white, 0.02) << x << "," << y;
      ASSERT_NEAR(p.blue / white, memory ? 0.75 : hostsOwn.blue / white, 0.02) << x << "," << y;
      ASSERT_EQ(p.alpha, inside ? white : hostsOwn.alpha) << x << "," << y;
    }
  }
}

class Frames : public Render,
               public ::testing::WithParamInterface<std::tuple<PF_PixelFormat, int>> {};

// One memory pixel at the style's depth, repeated (16-bit memory is halved); the plan comes
// marked as if an earlier render had found no block.
TEST_P(Frames, MemoryFillsTheFrameWithFullAlphaOverTheExtent) {
  const auto [format, style] = GetParam();
  SimHost& host = Project(format, style, 16);
  BlockFeeder feeder;
  const std::vector<uint8_t> pixel[] = {{64, 128, 191},
                                        {0x00, 0x40, 0x00, 0x80, 0x00, 0xC0},
                                        {0, 0, 0x80, 0x3E, 0, 0, 0, 0x3F, 0, 0, 0x40, 0x3F}};
  const bool ours = format != PF_PixelFormat_BGRA32;
  if (style > 0) feeder.Queue(pixel[style - 1]);
  auto frame = host.NewFrame();
  ASSERT_EQ(host.PreRender(*frame), PF_Err_NONE);
  static_cast<RenderPlan*>(frame->preRender.pre_render_data)->noBlockFound = true;
  const PF_LRect extent{10, 5, 100, 60};
  frame->output.extent_hint = extent;
  ASSERT_EQ(host.Render(*frame), PF_Err_NONE);
  const PF_EffectWorld& out = frame->output;
  const bool memory = ours && style > 0;
  if (!ours) ExpectColours<PF_Pixel8>(out, 255, PF_LRect{}, false);  // alpha untouched too
  if (format == PF_PixelFormat_ARGB32) ExpectColours<PF_Pixel8>(out, 255, extent, memory);
  if (format == PF_PixelFormat_ARGB64) ExpectColours<PF_Pixel16>(out, 32768, extent, memory);
  if (format == PF_PixelFormat_ARGB128) ExpectColours<PF_PixelFloat>(out, 1, extent, memory);
  for (A_long y = 0; y < 90; ++y) {
    const auto* padding = reinterpret_cast<const uint8_t*>(frame->output.data) +
                          (y + 1) * frame->output.rowbytes - 16;
    ASSERT_EQ(std::count(padding, padding + 16, 0xCD), 16) << y;
  }
  EXPECT_EQ(feeder.Allocations(), memory ? 1 : 0);
  ExpectEverythingGivenBack(*frame);
}

INSTANTIATE_TEST_SUITE_P(
    DepthsAndStyles, Frames,
    ::testing::Combine(::testing::Values(PF_PixelFormat_BGRA32, PF_PixelFormat_ARGB32,
                                         PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128),
                       ::testing::Values(0, 1, 2, 3)));

TEST_F(Render, WithoutItsPlanRenderReports512) {
  SimHost& host = Project(PF_PixelFormat_ARGB32, 1);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.Render(*frame), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(frame->pixelCheckouts, 0);
}

// A failure after pre-render gives its code, also when the check-in fails as well (an earlier
// error wins over the check-in's), with the message for a missing suite; the input, suites,
// references and worlds all go back.
TEST_F(Render, AFailureGivesItsCodeAndReleasesEverything) {
  using Arrange = void (*)(SimHost&);
  const struct {
    Arrange arrange;
    PF_Err want;
    bool searched;
  } cases[] = {
      {[](SimHost& h) { h.Faults().Fail("checkout_layer_pixels", 1234); }, 1234, false},
      {[](SimHost& h) { h.Faults().Fail("checkout_output", 1234); }, 1234, false},
      {[](SimHost& h) { h.Faults().Fail("PF_GetPixelFormat", 1234); }, 1234, false},
      {[](SimHost& h) { h.Faults().Fail("checkin_layer_pixels", 77); }, 77, true},
      {[](SimHost& h) { h.Faults().Fail("AEGP_GetNewEffectForEffect", 9); }, 9, false},
      {[](SimHost& h) { h.Suites().SetMissing(kPFWorldSuite, 2); }, A_Err_MISSING_SUITE, false},
      {[](SimHost& h) { h.ArmAbort(0); }, PF_Interrupt_CANCEL, true},
  };
  for (const auto& c : cases) {
    for (bool checkinFails : {false, true}) {
      SCOPED_TRACE(::testing::Message() << (&c - cases) << (checkinFails ? " and check-in" : ""));
      SimHost& host = Project(PF_PixelFormat_ARGB32, 1);
      BlockFeeder feeder;
      feeder.Queue({100});
      auto frame = host.NewFrame();
      ASSERT_EQ(host.PreRender(*frame), PF_Err_NONE);
      c.arrange(host);
      if (checkinFails) host.Faults().Fail("checkin_layer_pixels", 77);
      EXPECT_EQ(host.Render(*frame), c.want);
      EXPECT_EQ(feeder.Allocations() > 0, c.searched);
      const bool noSuite = c.want == A_Err_MISSING_SUITE;
      EXPECT_STREQ(host.LastOutData().return_msg, noSuite ? "Not able to acquire AEFX Suite." : "");
      EXPECT_EQ(host.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE,
                noSuite ? PF_OutFlag_DISPLAY_ERROR_MESSAGE : 0);
      ExpectEverythingGivenBack(*frame);
    }
  }
}

}  // namespace
