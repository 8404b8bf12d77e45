// The message card: its layout read back from the rendered ink, its compositing arithmetic,
// and the card in whole frames through EffectMain.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

#include "host/IterateSuites.h"
#include "render/BlockSearch.h"
#include "resources/font/EmbeddedFont.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"
#include "text/Base64.h"
#include "text/MessageCard.h"

using namespace kelvrix;
using kelvrix::host::HostOptions;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::host::WorldSpec;
using kelvrix::testing::BlockFeeder;
using kelvrix::testing::LinkedPlugin;

namespace {

// Open Sans: 'P' and 'R' stand on the baseline and reach 1462 of 2048 units (fontTools).
constexpr double kCapHeight = 1462.0 / 2048.0;

struct Ink {
  A_long top = std::numeric_limits<A_long>::max();
  A_long bottom = -1;  // last row with ink
  A_long right = -1;   // last column with ink
  bool any() const { return bottom >= 0; }
};

// Draws the card for a W x H frame whose input is transparent black, so the output's alpha is
// exactly the text's coverage.
class Card : public ::testing::Test {
 protected:
  void Draw(A_long width, A_long height) {
    WorldSpec shape;
    shape.width = width;
    shape.height = height;
    shape.fillByte = 0;
    ASSERT_EQ(host_.Worlds().Create(shape, &input_), PF_Err_NONE);
    shape.fillByte = 0x77;
    ASSERT_EQ(host_.Worlds().Create(shape, &output_), PF_Err_NONE);
    ASSERT_EQ(host_.WithinCommand([&](PF_InData* in, PF_OutData*) {
      SuiteHandler suites(in->pica_basicP);
      return DrawMessageCard(
          "Couldn't find a large enough block of memory, try reducing the Size "
          "parameter.",
          "Purging your cache to re-render this frame may help.",
          "Restarting AE can also also help - every AE session brings "
          "different data in memory.",
          &input_, &output_, PF_PixelFormat_ARGB32, in, suites);
    }),
              PF_Err_NONE);
  }
  void TearDown() override {
    host_.Worlds().Dispose(&input_);
    host_.Worlds().Dispose(&output_);
  }
  // Ink of the output's alpha in rows [top, bottom) and columns [left, right).
  Ink InkIn(A_long top, A_long bottom, A_long left, A_long right) {
    Ink ink;
    for (A_long y = std::max<A_long>(top, 0); y < std::min(bottom, output_.height); ++y) {
      for (A_long x = std::max<A_long>(left, 0); x < std::min(right, output_.width); ++x) {
        if (PixelAt<PF_Pixel8>(output_, x, y)->alpha >= 40) {  // faint edges count at 9 px
          ink.top = std::min(ink.top, y);
          ink.bottom = std::max(ink.bottom, y);
          ink.right = std::max(ink.right, x);
        }
      }
    }
    return ink;
  }
  // The capital that starts a line ('C', 'P' or 'R'), found near the left edge around where
  // the line's baseline is expected; returns its ink.
  Ink FirstCapital(double size, double baseline) {
    return InkIn(static_cast<A_long>(baseline - 1.2 * size), static_cast<A_long>(baseline + 2), 12,
                 static_cast<A_long>(12 + 0.55 * size));
  }
  void ExpectLine(double size, double baseline, const char* what) {
    const Ink ink = FirstCapital(size, baseline);
    ASSERT_TRUE(ink.any()) << what;
    // 'P' and 'R' sit on the baseline: their last inked row is the one just above it.
    EXPECT_NEAR(ink.bottom + 1, baseline, 1.0) << what;
    EXPECT_NEAR(ink.bottom + 1 - ink.top, kCapHeight * size, 1.5) << what;
  }

  SimHost host_{LinkedPlugin()};
  PF_EffectWorld input_{};
  PF_EffectWorld output_{};
};

}  // namespace

TEST_F(Card, OnAFullHdFrameTheLinesSitWhereTheLayoutPutsThem) {
  Draw(1920, 1080);
  // Title 54 px at baseline 66, hints 35 px at 144 and 288, all squeezed to 1896 px.
  ExpectLine(35, 144, "first hint");
  ExpectLine(35, 288, "second hint");
  const Ink title = InkIn(0, 100, 0, 1920);
  EXPECT_NEAR(title.bottom, 66 + 0.24 * 54, 3);  // the descenders of p, y, g
  EXPECT_LE(title.right, 1920 - 12);             // never past the maximum width
  EXPECT_GE(title.right, 1920 - 12 - 54);        // and squeezed to it: the line was too wide
  const Ink capital = InkIn(0, 67, 12, 12 + 30);
  EXPECT_NEAR(capital.bottom + 1, 66, 2);  // 'C' overshoots the baseline a little
  EXPECT_NEAR(capital.bottom + 1 - capital.top, 1503.0 / 2048 * 54, 2);
  EXPECT_FALSE(InkIn(300, 1080, 0, 1920).any());
}

TEST_F(Card, OnSmallerFramesTheSizesAndBaselinesFollowTheShorterSide) {
  Draw(640, 360);  // title 18 at 30, hints 11 at 72 and 144, width 616
  ExpectLine(11, 72, "first hint");
  ExpectLine(11, 144, "second hint");
  EXPECT_LE(InkIn(0, 360, 0, 640).right, 640 - 12);
}

TEST_F(Card, AtTwoHundredPixelsTheTitleKeepsItsMinimumSize) {
  Draw(200, 200);  // title 15 at 27, hints 9 at 66 and 132, width 176
  ExpectLine(9, 66, "first hint");
  ExpectLine(9, 132, "second hint");
  const Ink title = InkIn(0, 40, 0, 200);
  EXPECT_LE(title.right, 188);
  EXPECT_GE(title.right, 170);
}

TEST_F(Card, OnATinyFrameThereIsNoTextOnlyTheDimmedInput) {
  Draw(20, 20);
  for (A_long y = 0; y < 20; ++y) {
    for (A_long x = 0; x < 20; ++x) ASSERT_EQ(PixelAt<PF_Pixel8>(output_, x, y)->alpha, 0);
  }
}

TEST(CardLayout, GivesTheSizesForTheExamples) {
  const CardLayout hd = LayoutFor(1920, 1080);
  EXPECT_EQ(hd.titleSize, 54.0f);
  EXPECT_EQ(hd.hintSize, 35.0f);
  EXPECT_EQ(hd.maxWidth, 1896.0f);
  const CardLayout small = LayoutFor(200, 200);
  EXPECT_EQ(small.titleSize, 15.0f);
  EXPECT_EQ(small.hintSize, 9.0f);
  EXPECT_EQ(LayoutFor(20, 20).maxWidth, -4.0f);
}

namespace {

// Composites one pixel with a blank canvas or with a fully covered canvas pixel.
struct Compositing : ::testing::Test {
  text::TextCanvas blank{4, 4};
  text::TextCanvas covered{200, 160};
  A_long fullX = -1, fullY = -1;
  void SetUp() override {
    const std::vector<uint8_t> font = text::DecodeBase64(EmbeddedFontBase64);
    ASSERT_TRUE(covered.SetFont(font.data(), static_cast<int>(font.size()), 140.0f));
    covered.SetColor(text::PaintSlot::Fill, 1, 1, 1, 1);
    covered.FillText("I", 20, 140, text::TextCanvas::kNoMaxWidth);
    for (A_long y = 0; y < 160 && fullX < 0; ++y) {
      for (A_long x = 0; x < 200; ++x) {
        if (covered.PixelAt(x, y)[3] == 1.0f) {
          fullX = x;
          fullY = y;
          break;
        }
      }
    }
    ASSERT_GE(fullX, 0);
  }
};

}  // namespace

TEST_F(Compositing, WithoutTextEightBitsHalveTheColourAndKeepAlpha) {
  CardBlend blend{&blank, 0.5f, nullptr};
  PF_Pixel8 in{255, 255, 100, 1};
  PF_Pixel8 out{};
  CompositeCardPixel8(&blend, 1, 1, &in, &out);
  EXPECT_EQ(out.alpha, 255);
  EXPECT_EQ(out.red, 127);
  EXPECT_EQ(out.green, 50);
  EXPECT_EQ(out.blue, 0);
  CompositeCardPixel8(&blend, 100, 100, &in, &out);  // outside the canvas: no text either
  EXPECT_EQ(out.red, 127);
}

TEST_F(Compositing, FullCoverageSaturatesEvenOverATransparentSource) {
  CardBlend blend{&covered, 0.5f, nullptr};
  PF_Pixel8 in{0, 0, 0, 0};
  PF_Pixel8 out{};
  CompositeCardPixel8(&blend, fullX, fullY, &in, &out);
  EXPECT_EQ(out.alpha, 255);
  EXPECT_EQ(out.red, 255);
  PF_Pixel8 red200{255, 200, 0, 0};
  CompositeCardPixel8(&blend, fullX, fullY, &red200, &out);
  EXPECT_EQ(out.red, 255);
  PF_Pixel16 in16{};
  PF_Pixel16 out16{};
  CompositeCardPixel16(&blend, fullX, fullY, &in16, &out16);
  EXPECT_EQ(out16.alpha, 32768);
  EXPECT_EQ(out16.blue, 32768);
}

TEST_F(Compositing, SixteenBitsHalveTheHostsWhite) {
  CardBlend blend{&blank, 0.5f, nullptr};
  PF_Pixel16 in{32768, 32768, 32768, 32768};
  PF_Pixel16 out{};
  CompositeCardPixel16(&blend, 0, 0, &in, &out);
  EXPECT_EQ(out.alpha, 32768);
  EXPECT_EQ(out.red, 16384);
  EXPECT_EQ(out.blue, 16384);
}

TEST_F(Compositing, FloatClampsAndTurnsNanIntoZero) {
  CardBlend blend{&blank, 0.5f, nullptr};
  PF_PixelFloat in{1.5f, 3.0f, std::nanf(""), -2.0f};
  PF_PixelFloat out{};
  CompositeCardPixelFloat(&blend, 0, 0, &in, &out);
  EXPECT_EQ(out.alpha, 1.0f);
  EXPECT_EQ(out.red, 1.0f);
  EXPECT_EQ(out.green, 0.0f);
  EXPECT_EQ(out.blue, 0.0f);
  PF_PixelFloat half{0.25f, 0.5f, 0.25f, 0.75f};
  CompositeCardPixelFloat(&blend, 0, 0, &half, &out);
  EXPECT_EQ(out.alpha, 0.25f);
  EXPECT_EQ(out.red, 0.25f);
  EXPECT_EQ(out.blue, 0.375f);
}

TEST_F(Compositing, PartialCoverageAddsOnTopOfTheDimmedSource) {
  // 200 under coverage c gives trunc(100 + c * 255) at 8 bits.
  CardBlend blend{&covered, 0.5f, nullptr};
  int checked = 0;
  for (A_long y = 0; y < 160; ++y) {
    for (A_long x = 0; x < 200; ++x) {
      const float c = covered.PixelAt(x, y)[0];
      if (c <= 0.0f || c >= 1.0f) continue;
      PF_Pixel8 in{255, 200, 200, 200};
      PF_Pixel8 out{};
      CompositeCardPixel8(&blend, x, y, &in, &out);
      const float expected = std::min(255.0f, std::fma(200.0f, 0.5f, c * 255.0f));
      ASSERT_EQ(out.red, static_cast<int>(expected)) << c;
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
}

namespace {

class CardFrames : public ::testing::TestWithParam<std::pair<PF_PixelFormat, int>> {
 protected:
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(20)};
};

void Instance(SimHost& host, int style) {
  ASSERT_TRUE(kelvrix::testing::SetUpInstance(host, style));
}

HostOptions Small(PF_PixelFormat format) {
  return kelvrix::testing::SmallProject(format, 320, 180);
}

// Pixels of the title band (rows 10 to 30) that are clearly brighter than the dimmed input:
// the ink of the title, in every depth.
int TitleInk(const host::Frame& frame, PF_PixelFormat format) {
  int ink = 0;
  for (A_long y = 10; y < 30; ++y) {
    for (A_long x = 12; x < 300; ++x) {
      double in = 0, out = 0;
      if (format == PF_PixelFormat_ARGB32) {
        in = PixelAt<PF_Pixel8>(frame.input, x, y)->red / 255.0;
        out = PixelAt<PF_Pixel8>(frame.output, x, y)->red / 255.0;
      } else if (format == PF_PixelFormat_ARGB64) {
        in = PixelAt<PF_Pixel16>(frame.input, x, y)->red / 32768.0;
        out = PixelAt<PF_Pixel16>(frame.output, x, y)->red / 32768.0;
      } else {
        in = PixelAt<PF_PixelFloat>(frame.input, x, y)->red;
        out = PixelAt<PF_PixelFloat>(frame.output, x, y)->red;
      }
      ink += out > in * 0.5 + 0.3;
    }
  }
  return ink;
}

}  // namespace

TEST_P(CardFrames, ASearchOutOfTimeShowsTheCardAndReturnsNone) {
  const auto [format, style] = GetParam();
  SimHost host(LinkedPlugin(), Small(format));
  Instance(host, style);
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
  EXPECT_GT(TitleInk(*frame, format), 200);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  EXPECT_EQ(host.Worlds().Live(), 2u);
}

TEST_P(CardFrames, AnAbortedSearchShowsTheCardAndReturnsTheAbortCode) {
  const auto [format, style] = GetParam();
  SimHost host(LinkedPlugin(), Small(format));
  Instance(host, style);
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  host.ArmAbort(0);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.RenderFrame(*frame), PF_Interrupt_CANCEL);
  EXPECT_GT(TitleInk(*frame, format), 200);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, CardFrames,
                         ::testing::Values(std::make_pair(PF_PixelFormat_ARGB32, 1),
                                           std::make_pair(PF_PixelFormat_ARGB64, 2),
                                           std::make_pair(PF_PixelFormat_ARGB128, 3),
                                           std::make_pair(PF_PixelFormat_ARGB32, 3),  // cross-depth
                                           std::make_pair(PF_PixelFormat_ARGB128,
                                                          1)));  // cross-depth

TEST(CardFrame, AMissingVersionOneIterateSuiteGives516WithEverythingReleased) {
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  for (PF_PixelFormat format :
       {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128}) {
    SimHost host(LinkedPlugin(), Small(format));
    Instance(host, 1);
    host.Suites().SetMissing(kPFIterate8Suite, 1);
    host.Suites().SetMissing(kPFIterate16Suite, 1);
    host.Suites().SetMissing(kPFIterateFloatSuite, 1);
    BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
    auto frame = host.NewFrame();
    EXPECT_EQ(host.RenderFrame(*frame), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
    EXPECT_EQ(host.LiveEffectRefs(), 0u);
    EXPECT_EQ(frame->pixelCheckins, frame->pixelCheckouts);
  }
}

TEST(CardFrame, AnInputSmallerThanTheOutputIsNeverReadOutOfRange) {
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  SimHost host(LinkedPlugin(), Small(PF_PixelFormat_ARGB32));
  Instance(host, 1);
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  auto frame = host.NewFrame();
  ASSERT_EQ(host.PreRender(*frame), PF_Err_NONE);
  host.Worlds().Dispose(&frame->input);
  WorldSpec small;
  small.width = 100;
  small.height = 50;
  small.fillByte = 200;
  ASSERT_EQ(host.Worlds().Create(small, &frame->input), PF_Err_NONE);
  EXPECT_EQ(host.Render(*frame), PF_Err_NONE);
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 90, 45)->blue, 100);  // the input, dimmed
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 300, 170)->blue, 0);  // beyond it: black
  EXPECT_EQ(PixelAt<PF_Pixel8>(frame->output, 300, 170)->alpha, 0);
}

// ---- Memory that is not there ------------------------------------------------------------
// The program's operator new, replaced so that the n-th allocation of the arming thread fails
// once. Inert until armed; every form goes through malloc and free, so sanitizers see pairs.
namespace {
thread_local long allocationsBeforeFailure = -1;  // -1: none fails
thread_local bool allocationFailed = false;

void* Allocate(std::size_t bytes) {
  if (allocationsBeforeFailure == 0) {
    allocationsBeforeFailure = -1;
    allocationFailed = true;
    return nullptr;
  }
  if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
  return std::malloc(bytes == 0 ? 1 : bytes);
}

// The host's own allocations in the composite are not the card's to report.
PF_Err IterateUnarmed(PF_InData* in_data, A_long base, A_long final, PF_EffectWorld* src,
                      const PF_Rect* area, void* refcon, PF_IteratePixel8Func pix_fn,
                      PF_EffectWorld* dst) {
  allocationsBeforeFailure = -1;
  return host::Iterate8(in_data, base, final, src, area, refcon, pix_fn, dst);
}
}  // namespace

// GCC flags free() on what operator new returned, not knowing that this new is malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t bytes) {
  if (void* p = Allocate(bytes)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t bytes) { return operator new(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// Every allocation of the card's font and lines, failed in turn: none may leave a frame without
// its text that is reported as finished.
TEST(CardMemory, AnyAllocationOfTheFontOrTheTextThatFailsGivesOutOfMemory) {
  SimHost host(LinkedPlugin());
  PF_Iterate8Suite1 iterate{};
  iterate.iterate = IterateUnarmed;
  host.Suites().Register(kPFIterate8Suite, kPFIterate8SuiteVersion1, &iterate);
  WorldSpec shape;
  shape.width = 320;
  shape.height = 180;
  PF_EffectWorld input{}, output{};
  ASSERT_EQ(host.Worlds().Create(shape, &input), PF_Err_NONE);
  ASSERT_EQ(host.Worlds().Create(shape, &output), PF_Err_NONE);
  long n = 0;
  for (;; ++n) {
    std::string title = "Couldn't find a large enough block of memory, try reducing the Size.";
    std::string first = "Purging your cache to re-render this frame may help.";
    std::string second = "Restarting AE can also also help - every AE session brings data.";
    allocationFailed = false;
    const PF_Err err = host.WithinCommand([&](PF_InData* in, PF_OutData*) {
      SuiteHandler suites(in->pica_basicP);
      suites.Iterate8Suite1();  // acquired before arming: the host's map is not the card's
      allocationsBeforeFailure = n;
      const PF_Err card = DrawMessageCard(std::move(title), std::move(first), std::move(second),
                                          &input, &output, PF_PixelFormat_ARGB32, in, suites);
      allocationsBeforeFailure = -1;
      return card;
    });
    if (!allocationFailed) {
      EXPECT_EQ(err, PF_Err_NONE);
      break;
    }
    ASSERT_EQ(err, PF_Err_OUT_OF_MEMORY) << "allocation " << n;
  }
  EXPECT_GE(n, 6);  // the font buffer, two font copies and the buffers of three lines
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  host.Worlds().Dispose(&input);
  host.Worlds().Dispose(&output);
}
