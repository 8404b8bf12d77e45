// The message card: its layout read back from the rendered ink, its compositing arithmetic,
// and the card in whole frames through EffectMain.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "host/IterateSuites.h"
#include "render/BlockSearch.h"
#include "resources/font/EmbeddedFont.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"
#include "text/Base64.h"
#include "text/MessageCard.h"

using namespace kelvrix;
using kelvrix::host::PixelAt;
using kelvrix::host::SimHost;
using kelvrix::host::WorldSpec;
using kelvrix::testing::BlockFeeder;
using kelvrix::testing::LinkedPlugin;

namespace {

const char kTitle[] =
    "Couldn't find a large enough block of memory, try reducing the Size parameter.";
const char kFirstHint[] = "Purging your cache to re-render this frame may help.";
const char kSecondHint[] =
    "Restarting AE can also also help - every AE session brings different data in memory.";

// The program's operator new, replaced so that the n-th allocation of the arming thread fails
// once. Inert until armed; every form goes through malloc and free, so sanitizers see pairs.
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

// Draws the card into an output of W x H (float unless told otherwise) over an input of its own
// size and fill byte.
class Card : public ::testing::Test {
 protected:
  Card() {
    iterate_.iterate = IterateUnarmed;
    host_.Suites().Register(kPFIterate8Suite, kPFIterate8SuiteVersion1, &iterate_);
  }
  void Draw(A_long width, A_long height, A_long inWidth, A_long inHeight, uint8_t inFill = 0) {
    WorldSpec shape;
    shape.format = format_;
    shape.width = inWidth;
    shape.height = inHeight;
    shape.fillByte = inFill;
    ASSERT_EQ(host_.Worlds().Create(shape, &input_), PF_Err_NONE);
    shape.width = width;
    shape.height = height;
    shape.fillByte = 0x77;  // a huge float: an unwritten pixel would be far brighter than 1
    ASSERT_EQ(host_.Worlds().Create(shape, &output_), PF_Err_NONE);
    EXPECT_EQ(Redraw(), PF_Err_NONE);
  }
  // With the allocation `failAt` of the card failing.
  PF_Err Redraw(long failAt = -1) {
    return host_.WithinCommand([&](PF_InData* in, PF_OutData*) {
      SuiteHandler suites(in->pica_basicP);
      suites.Iterate8Suite1();  // acquired before arming: the host's map is not the card's
      std::string title = kTitle;
      std::string first = kFirstHint;
      std::string second = kSecondHint;
      allocationFailed = false;
      allocationsBeforeFailure = failAt;
      const PF_Err err = DrawMessageCard(std::move(title), std::move(first), std::move(second),
                                         &input_, &output_, format_, in, suites);
      allocationsBeforeFailure = -1;
      return err;
    });
  }
  void TearDown() override {
    host_.Worlds().Dispose(&input_);
    host_.Worlds().Dispose(&output_);
  }
  std::array<float, 4> At(A_long x, A_long y) const {
    const PF_PixelFloat& p = *PixelAt<PF_PixelFloat>(output_, x, y);
    return {p.alpha, p.red, p.green, p.blue};
  }
  // {first row, last row, last column} of the text's coverage (the output's alpha) in rows
  // [top, bottom) and columns [left, right); the last row is -1 without ink.
  std::array<A_long, 3> InkIn(double top, double bottom, double left, double right) const {
    std::array<A_long, 3> ink{output_.height, -1, -1};
    for (A_long y = std::max(0, int(top)); y < std::min(A_long(bottom), output_.height); ++y) {
      for (A_long x = std::max(0, int(left)); x < std::min(A_long(right), output_.width); ++x) {
        if (At(x, y)[0] * 255 >= 40) {  // faint edges count at 9 px
          ink = {std::min(ink[0], y), std::max(ink[1], y), std::max(ink[2], x)};
        }
      }
    }
    return ink;
  }
  // The capital starting a line ('C', 'P' or 'R'): its ink ends on the baseline and is
  // `height` of the size tall (Open Sans per fontTools: 'P', 'R' 1462/2048, 'C' 1503/2048).
  void ExpectCapital(double size, double baseline, double height, double slack) const {
    const auto [top, bottom, right] =
        InkIn(baseline - 1.2 * size, baseline + 2, 12, 12 + 0.55 * size);
    EXPECT_NEAR(bottom + 1, baseline, slack) << size;
    EXPECT_NEAR(bottom + 1 - top, height / 2048 * size, slack + 0.5) << size;
  }

  SimHost host_{LinkedPlugin()};
  PF_Iterate8Suite1 iterate_{};
  PF_PixelFormat format_ = PF_PixelFormat_ARGB128;
  PF_EffectWorld input_{};
  PF_EffectWorld output_{};
};

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

TEST_F(Card, LinesSitWhereTheLayoutPutsThemAndTheTextIsExactlyWhite) {
  const struct {
    A_long width, height;
    double title, hint, titleBaseline, firstHint, secondHint;  // title 0: no text at all
    bool solid;                                                // the text has fully covered pixels
  } cases[] = {{1920, 1080, 54, 35, 66, 144, 288, true},
               {640, 360, 18, 11, 30, 72, 144, true},
               {200, 200, 15, 9, 27, 66, 132, false},  // the title's minimum size
               {20, 20, 0, 0, 0, 0, -1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
    Draw(c.width, c.height, c.width, c.height);
    float brightest = 0.0f;
    bool white = false;
    for (A_long y = 0; y < c.height; ++y) {
      for (A_long x = 0; x < c.width; ++x) {
        const std::array<float, 4> p = At(x, y);
        brightest = std::max({brightest, p[0], p[1], p[2], p[3]});
        white |= p == std::array<float, 4>{1, 1, 1, 1};
      }
    }
    EXPECT_LE(brightest, 1.0f);
    EXPECT_EQ(white, c.solid);
    if (c.title > 0) {
      ExpectCapital(c.title, c.titleBaseline, 1503, 2);  // 'C' overshoots the baseline a little
      ExpectCapital(c.hint, c.firstHint, 1462, 1);
      ExpectCapital(c.hint, c.secondHint, 1462, 1);
      // The title is too wide for every frame: squeezed to end just inside 12 px of margin.
      const A_long right = InkIn(0, c.titleBaseline + 0.3 * c.title, 0, c.width)[2];
      EXPECT_LE(right, c.width - 12);
      EXPECT_GE(right, c.width - 12 - c.title);
    }
    EXPECT_EQ(InkIn(c.secondHint + 0.3 * c.hint + 1, c.height, 0, c.width)[1], -1);
    TearDown();
  }
}

// x == input width reads the next row and y == input height the row below, were they read.
// Large 16:9 frames, among them every size once seen to leak a steep stroke's coverage out to the
// right edge: the card's lines end at W - 12, so its right margin holds no ink and shows the
// dimmed input. The lines are drawn as the card draws them, on a canvas of the frame's width that
// ends below the last line (the text lies wholly inside it, so its cells are the full card's).
TEST(CardText, NoLineOfALargeFrameInksTheRightMargin) {
  std::vector<std::pair<A_long, A_long>> frames = {
      {3840, 2160}, {4892, 2752}, {5396, 3035}, {5423, 3050}, {5432, 3056}, {6809, 3830},
      {7199, 4049}, {7529, 4235}, {7532, 4237}, {7649, 4303}, {7880, 4433}, {8108, 4561}};
  for (A_long width = 2000; width <= 8192; width += 127) {
    frames.emplace_back(width, static_cast<A_long>(std::lround(width * 9.0 / 16.0)));
  }
  for (const auto& [width, height] : frames) {
    const CardLayout layout = LayoutFor(width, height);
    const int band = static_cast<int>(std::ceil(layout.secondHintBaseline + layout.hintSize));
    text::TextCanvas canvas(width, band);
    ASSERT_TRUE(DrawCardText(canvas, layout, kTitle, kFirstHint, kSecondHint));
    int inked = 0;
    for (int y = 0; y < band; ++y) {
      for (int x = width - 12; x < width; ++x) inked += canvas.PixelAt(x, y)[3] != 0.0f;
    }
    EXPECT_EQ(inked, 0) << width << " x " << height;
  }
}

TEST_F(Card, AnInputSmallerThanTheOutputIsReadOnlyWithinItsRowsAndColumns) {
  Draw(320, 180, 100, 51, 0x3E);
  const float f = PixelAt<PF_PixelFloat>(input_, 0, 0)->red;
  input_.height = 50;
  Redraw();
  const std::array<float, 4> none{};
  EXPECT_EQ(At(99, 49), (std::array<float, 4>{f, f / 2, f / 2, f / 2}));  // the input, dimmed
  EXPECT_EQ(At(100, 5), none);
  EXPECT_EQ(At(5, 50), none);
  EXPECT_EQ(At(300, 170), none);
}

namespace {

template <typename Pixel>
std::array<double, 4> Channels(const Pixel& p) {
  return {double(p.alpha), double(p.red), double(p.green), double(p.blue)};
}

// One pixel composited over a canvas without text, or at a fully covered pixel of one with text.
class Compositing : public ::testing::Test {
 protected:
  template <typename Pixel>
  struct Row {
    A_long x, y;  // x < 0: the fully covered pixel
    Pixel in, out;
  };
  void SetUp() override {
    const std::vector<uint8_t> font = text::DecodeBase64(EmbeddedFontBase64);
    ASSERT_TRUE(covered.SetFont(font.data(), static_cast<int>(font.size()), 140.0f));
    covered.SetColor(text::PaintSlot::Fill, 1, 1, 1, 1);
    covered.FillText("I", 20, 140, text::TextCanvas::kNoMaxWidth);
    for (A_long i = 0; i < 200 * 160 && fullX < 0; ++i) {
      if (covered.PixelAt(i % 200, i / 200)[3] == 1.0f) fullX = i % 200, fullY = i / 200;
    }
    ASSERT_GE(fullX, 0);
  }
  template <typename Pixel>
  void Expect(PF_Err (*composite)(void*, A_long, A_long, Pixel*, Pixel*),
              std::initializer_list<Row<Pixel>> rows) {
    for (Row<Pixel> r : rows) {
      SCOPED_TRACE(::testing::Message() << r.x << "," << r.y);
      CardBlend blend{r.x < 0 ? &covered : &blank, 0.5f, nullptr};
      Pixel out{};
      composite(&blend, r.x < 0 ? fullX : r.x, r.x < 0 ? fullY : r.y, &r.in, &out);
      EXPECT_EQ(Channels(out), Channels(r.out));
    }
  }

  text::TextCanvas blank{4, 4};
  text::TextCanvas covered{200, 160};
  A_long fullX = -1, fullY = -1;
};

}  // namespace

// Pixels are {alpha, red, green, blue}. 8 and 16 bits truncate, float clamps; none is brighter
// than full under full coverage, even over a transparent or a white source.
TEST_F(Compositing, TheDimmedSourcePlusCoverageInEveryDepth) {
  Expect<PF_Pixel8>(CompositeCardPixel8, {{1, 1, {255, 255, 100, 1}, {255, 127, 50, 0}},
                                          {100, 100, {255, 255, 100, 1}, {255, 127, 50, 0}},
                                          {-1, 0, {0, 0, 0, 0}, {255, 255, 255, 255}},
                                          {-1, 0, {255, 200, 0, 0}, {255, 255, 255, 255}}});
  Expect<PF_Pixel16>(CompositeCardPixel16,
                     {{0, 0, {32768, 32768, 32768, 32768}, {32768, 16384, 16384, 16384}},
                      {0, 0, {65535, 65535, 1, 32769}, {32768, 32767, 0, 16384}},
                      {-1, 0, {0, 0, 0, 0}, {32768, 32768, 32768, 32768}}});
  const float nan = std::nanf("");
  Expect<PF_PixelFloat>(CompositeCardPixelFloat,
                        {{0, 0, {1.5f, 3.0f, nan, -2.0f}, {1, 1, 0, 0}},
                         {0, 0, {0.25f, 0.5f, 0.25f, 0.75f}, {0.25f, 0.25f, 0.125f, 0.375f}},
                         {-1, 0, {1, 1, 1, 1}, {1, 1, 1, 1}},
                         {-1, 0, {0, 0, 0, 0}, {1, 1, 1, 1}}});
}

// Every partially covered pixel: the source times 0.5 plus the coverage, fused, in every depth.
TEST_F(Compositing, PartialCoverageAddsOnTopOfTheDimmedSource) {
  CardBlend blend{&covered, 0.5f, nullptr};
  int checked = 0;
  for (A_long i = 0; i < 200 * 160; ++i) {
    const A_long x = i % 200, y = i / 200;
    const float c = covered.PixelAt(x, y)[0];
    if (c <= 0.0f || c >= 1.0f) continue;
    PF_Pixel8 in8{255, 200, 200, 200}, out8{};
    PF_Pixel16 in16{32768, 20000, 20000, 20000}, out16{};
    PF_PixelFloat inF{1, 0.7f, 0.7f, 0.7f}, outF{};
    CompositeCardPixel8(&blend, x, y, &in8, &out8);
    CompositeCardPixel16(&blend, x, y, &in16, &out16);
    CompositeCardPixelFloat(&blend, x, y, &inF, &outF);
    ASSERT_EQ(out8.red, int(std::min(255.0f, std::fma(200.0f, 0.5f, c * 255.0f)))) << c;
    ASSERT_EQ(out16.red, int(std::min(32768.0f, std::fma(20000.0f, 0.5f, c * 32768.0f)))) << c;
    ASSERT_EQ(outF.red, std::min(1.0f, std::fma(0.7f, 0.5f, c))) << c;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

namespace {

// The same-depth styles and two cross-depth pairs.
class CardFrames : public ::testing::TestWithParam<std::pair<PF_PixelFormat, int>> {
 protected:
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(20)};
};

// Pixels of the title band clearly brighter than the dimmed input: the title's ink.
int TitleInk(const host::Frame& frame, PF_PixelFormat format) {
  const auto red = [&](const PF_EffectWorld& w, A_long x, A_long y) -> double {
    if (format == PF_PixelFormat_ARGB32) return PixelAt<PF_Pixel8>(w, x, y)->red / 255.0;
    if (format == PF_PixelFormat_ARGB64) return PixelAt<PF_Pixel16>(w, x, y)->red / 32768.0;
    return PixelAt<PF_PixelFloat>(w, x, y)->red;
  };
  int ink = 0;
  for (A_long y = 10; y < 30; ++y) {
    for (A_long x = 12; x < 300; ++x)
      ink += red(frame.output, x, y) > red(frame.input, x, y) * 0.5 + 0.3;
  }
  return ink;
}

}  // namespace

// A search out of time shows the card and returns none, an aborted one the abort code; without
// the version-1 iterate suites there is no card and 516. Everything is given back every time.
TEST_P(CardFrames, TimeOutAbortAndAMissingIterateSuite) {
  const auto [format, style] = GetParam();
  for (const PF_Err expected : {PF_Err_NONE, PF_Interrupt_CANCEL, PF_Err_BAD_CALLBACK_PARAM}) {
    SCOPED_TRACE(expected);
    SimHost host(LinkedPlugin(), kelvrix::testing::SmallProject(format, 320, 180));
    ASSERT_TRUE(kelvrix::testing::SetUpInstance(host, style));
    if (expected == PF_Interrupt_CANCEL) host.ArmAbort(0);
    if (expected == PF_Err_BAD_CALLBACK_PARAM) {
      for (const char* suite : {kPFIterate8Suite, kPFIterate16Suite, kPFIterateFloatSuite}) {
        host.Suites().SetMissing(suite, 1);
      }
    }
    BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
    auto frame = host.NewFrame();
    EXPECT_EQ(host.RenderFrame(*frame), expected);
    if (expected != PF_Err_BAD_CALLBACK_PARAM) {
      EXPECT_GT(TitleInk(*frame, format), 200);
    }
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
    EXPECT_EQ(host.LiveEffectRefs(), 0u);
    EXPECT_EQ(frame->pixelCheckins, frame->pixelCheckouts);
    EXPECT_EQ(host.Worlds().Live(), 2u);
  }
}

using Style = std::pair<PF_PixelFormat, int>;
INSTANTIATE_TEST_SUITE_P(Depths, CardFrames,
                         ::testing::Values(Style{PF_PixelFormat_ARGB32, 1},
                                           Style{PF_PixelFormat_ARGB64, 2},
                                           Style{PF_PixelFormat_ARGB128, 3},
                                           Style{PF_PixelFormat_ARGB32, 3},
                                           Style{PF_PixelFormat_ARGB128, 1}));

// Every allocation of the card's font and lines, failed in turn: none may leave a frame without
// its text that is reported as finished.
TEST_F(Card, AnyAllocationOfTheFontOrTheTextThatFailsGivesOutOfMemory) {
  format_ = PF_PixelFormat_ARGB32;
  Draw(320, 180, 320, 180);
  int failures = 0;
  for (long n = 0; n == 0 || allocationFailed; ++n) {
    const PF_Err err = Redraw(n);
    ASSERT_EQ(err, allocationFailed ? PF_Err_OUT_OF_MEMORY : PF_Err_NONE) << "allocation " << n;
    failures += allocationFailed;
  }
  EXPECT_GE(failures, 6);  // the font buffer, two font copies and the buffers of three lines
  EXPECT_TRUE(host_.Suites().Unbalanced().empty());
}
