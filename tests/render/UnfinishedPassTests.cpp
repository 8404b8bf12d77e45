// A pass the host cancels midway (the user presses Esc while rows are still being written) is
// never reported as a finished frame: whatever the depth, the style, and the pass the iteration
// stops in (noise, stretch, conversion, full alpha or the card's composite), the frame either
// returns the host's code or is exactly the frame rendered without the cancel.
#include <cstring>
#include <vector>

#include "render/NativeFill.h"
#include "render/RenderPlan.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::SimHost;
using kelvrix::testing::BlockFeeder;

namespace {

constexpr A_long kWidth = 120;
constexpr A_long kHeight = 60;

struct Outcome {
  PF_Err err = PF_Err_NONE;
  std::vector<uint8_t> pixels;  // the output's rows, padding left out
};

// One frame; the iterate suites stop with PF_Interrupt_CANCEL after `cancelAfter` rows (-1:
// never). Blank memory gives the card.
Outcome RenderOnce(PF_PixelFormat format, int style, bool memory, int cancelAfter) {
  SimHost host(kelvrix::testing::LinkedPlugin(),
               kelvrix::testing::SmallProject(format, kWidth, kHeight, 8));
  EXPECT_TRUE(kelvrix::testing::SetUpInstance(host, style));
  host.Params()[1].u.fs_d.value = 40.0;
  ScopedNoiseSeedForTesting sameNoise(0x5EED);
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  BlockFeeder feeder;
  if (memory) feeder.Queue({17, 200, 93, 41, 250, 3, 128, 64, 77});
  auto frame = host.NewFrame();
  if (cancelAfter >= 0) host.ArmIterateAbort(cancelAfter);
  Outcome out;
  out.err = host.RenderFrame(*frame);
  const PF_EffectWorld& world = frame->output;
  const size_t row = static_cast<size_t>(world.rowbytes) - 8;
  for (A_long y = 0; y < world.height; ++y) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(world.data) + y * world.rowbytes;
    out.pixels.insert(out.pixels.end(), bytes, bytes + row);
  }
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  EXPECT_EQ(host.LiveEffectRefs(), 0u);
  return out;
}

class UnfinishedPass : public ::testing::TestWithParam<std::tuple<PF_PixelFormat, int, bool>> {};

TEST_P(UnfinishedPass, IsTheHostsCodeOrTheFrameAsIfNothingHadStopped) {
  const auto [format, style, memory] = GetParam();
  const Outcome reference = RenderOnce(format, style, memory, -1);
  ASSERT_EQ(reference.err, PF_Err_NONE);
  int cancelled = 0;
  // Rows of every pass: the memory image's (about 40 of them), then three or four of 60.
  for (int after = 0; after <= 300; after += 17) {
    SCOPED_TRACE(after);
    const Outcome o = RenderOnce(format, style, memory, after);
    if (o.err != PF_Err_NONE) {
      EXPECT_EQ(o.err, PF_Interrupt_CANCEL);
      ++cancelled;
    } else {
      EXPECT_TRUE(o.pixels == reference.pixels);
    }
  }
  EXPECT_GT(cancelled, 3);  // the sweep did stop passes
}

INSTANTIATE_TEST_SUITE_P(DepthsStylesAndCard, UnfinishedPass,
                         ::testing::Combine(::testing::Values(PF_PixelFormat_ARGB32,
                                                              PF_PixelFormat_ARGB64,
                                                              PF_PixelFormat_ARGB128),
                                            ::testing::Values(kStyle8, kStyle16, kStyleFloat),
                                            ::testing::Bool()));

}  // namespace
