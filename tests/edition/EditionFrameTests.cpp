// RenderEditionFrame against the After Effects edition in the simulated host: the same block
// contents and noise give the same frame to the byte at every depth and style, and the card, and
// the frame's own records and suites behave: no input, abort, a row runner of the caller's, Sizes
// out of range, and every suite given back.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "edition/EditionFrame.h"
#include "edition/EditionWorld.h"
#include "host/WorldStore.h"
#include "tests/support/SimHostOracle.h"

using namespace kelvrix;
using kelvrix::edition::AllocateWorld;
using kelvrix::edition::EditionFrame;
using kelvrix::edition::EditionResult;
using kelvrix::edition::FreeWorld;
using kelvrix::edition::RenderEditionFrame;
using kelvrix::testing::BlockFeeder;
using kelvrix::testing::DistinctMemory;
using kelvrix::testing::MaxDifference8;
using kelvrix::testing::PackedFrame;
using kelvrix::testing::RenderInSimHost;

namespace {

constexpr A_long kWidth = 160;
constexpr A_long kHeight = 90;

// A world owned by a test: filled with 0xCD so that pixels nobody wrote stand out.
class OwnedWorld {
 public:
  OwnedWorld(A_long width, A_long height, PF_PixelFormat format) {
    EXPECT_EQ(AllocateWorld(width, height, format, false, &world_), PF_Err_NONE);
    std::memset(world_.data, 0xCD,
                static_cast<size_t>(world_.rowbytes) * static_cast<size_t>(height));
  }
  ~OwnedWorld() { FreeWorld(&world_); }
  PF_EffectWorld* get() { return &world_; }
  PackedFrame Pixels() const {
    return kelvrix::testing::Packed(world_, world_.width == 0 ? 4 : world_.rowbytes / world_.width);
  }

 private:
  PF_EffectWorld world_{};
};

struct EditionRender {
  EditionResult result;
  PackedFrame output;
};

EditionRender RenderWithMemory(EditionFrame frame, const std::vector<uint8_t>& memory,
                               A_long width = kWidth, A_long height = kHeight) {
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  BlockFeeder feeder;
  if (!memory.empty()) feeder.Queue(memory);
  OwnedWorld output(width, height, frame.format);
  frame.output = output.get();
  EditionRender out;
  out.result = RenderEditionFrame(frame);
  out.output = output.Pixels();
  return out;
}

// What an edition listening for output rows gets: the row as it stood each time it was told.
struct RowListener {
  const PF_EffectWorld* world = nullptr;
  std::mutex mutex;
  std::vector<std::vector<uint8_t>> lastSeen;  // per row; empty: never told
  std::vector<int> told;                       // per row

  static PF_Err Written(void* context, A_long row) {
    auto& self = *static_cast<RowListener*>(context);
    const auto* bytes = reinterpret_cast<const uint8_t*>(self.world->data) +
                        static_cast<ptrdiff_t>(row) * self.world->rowbytes;
    std::lock_guard<std::mutex> lock(self.mutex);
    self.lastSeen[static_cast<size_t>(row)].assign(bytes, bytes + self.world->rowbytes);
    ++self.told[static_cast<size_t>(row)];
    return PF_Err_NONE;
  }
};

// Every output row is told of once, finished: memory frames at the output's depth and across
// depths, and the card at and across depths. Once matters: an edition may convert the row in
// place when told.
TEST(EditionOutputRows, EveryRowIsToldOfOnceFinished) {
  const struct {
    PF_PixelFormat format;
    uint8_t style;
    bool card;
  } cases[] = {{PF_PixelFormat_ARGB32, kStyle8, false},
               {PF_PixelFormat_ARGB64, kStyle8, false},
               {PF_PixelFormat_ARGB128, kStyleFloat, false},
               {PF_PixelFormat_ARGB64, kStyle16, true},
               {PF_PixelFormat_ARGB32, kStyleFloat, true}};
  for (const auto& c : cases) {
    OwnedWorld output(kWidth, kHeight, c.format);
    RowListener listener;
    listener.world = output.get();
    listener.lastSeen.resize(kHeight);
    listener.told.resize(kHeight);
    EditionFrame frame;
    frame.style = c.style;
    frame.format = c.format;
    frame.output = output.get();
    frame.outputRows = edition::OutputRows{RowListener::Written, &listener};
    ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
    BlockFeeder feeder;
    if (!c.card) feeder.Queue(DistinctMemory(c.style));
    const EditionResult result = RenderEditionFrame(frame);
    ASSERT_EQ(result.err, PF_Err_NONE);
    EXPECT_EQ(result.card, c.card);
    const PackedFrame finished = output.Pixels();
    const size_t rowBytes = finished.pixels.size() / kHeight;
    for (size_t y = 0; y < static_cast<size_t>(kHeight); ++y) {
      const std::vector<uint8_t>& seen = listener.lastSeen[y];
      ASSERT_EQ(listener.told[y], 1) << c.format << " row " << y;
      ASSERT_EQ(seen.size(), rowBytes) << c.format << " row " << y;
      EXPECT_TRUE(std::equal(seen.begin(), seen.end(), finished.pixels.begin() + y * rowBytes))
          << c.format << " row " << y;
    }
  }
}

// A listener's error ends the frame with it, whether the rows run on the caller's thread or on
// a runner of the edition's.
TEST(EditionOutputRows, AListenersErrorEndsTheFrameWithIt) {
  const auto failing = [](void*, A_long row) -> PF_Err {
    return row == 7 ? PF_Err_INTERNAL_STRUCT_DAMAGED : PF_Err_NONE;
  };
  const auto inOrder = [](void*, A_long rows, edition::RowBody body, void* context) -> PF_Err {
    for (A_long row = 0; row < rows; ++row) {
      if (const PF_Err err = body(context, 0, row)) return err;
    }
    return PF_Err_NONE;
  };
  for (const bool runner : {false, true}) {
    EditionFrame frame;
    frame.outputRows = edition::OutputRows{failing, nullptr};
    if (runner) frame.rows = edition::RowRunner{inOrder, nullptr};
    const EditionRender r = RenderWithMemory(frame, DistinctMemory(kStyle8));
    EXPECT_EQ(r.result.err, PF_Err_INTERNAL_STRUCT_DAMAGED) << runner;
    EXPECT_EQ(r.result.suitesUnreleased, 0) << runner;
  }
}

// A world whose rows run upwards in memory (negative rowbytes, a bottom-up buffer seen from its
// top row) with 16 bytes of padding a row: the same frame as the usual world, padding untouched.
class UpwardWorld {
 public:
  UpwardWorld(A_long width, A_long height, PF_PixelFormat format)
      : stride_(width * kelvrix::host::BytesPerPixel(format) + kPad),
        bytes_(static_cast<size_t>(stride_) * static_cast<size_t>(height), 0xCD) {
    world_.width = width;
    world_.height = height;
    world_.rowbytes = -stride_;
    world_.data =
        reinterpret_cast<PF_PixelPtr>(bytes_.data() + static_cast<size_t>(stride_) * (height - 1));
    world_.extent_hint = PF_LRect{0, 0, width, height};
    world_.world_flags = PF_WorldFlag_WRITEABLE;
  }
  PF_EffectWorld* get() { return &world_; }
  bool PaddingUntouched() const {
    for (size_t row = 0; row < bytes_.size(); row += static_cast<size_t>(stride_)) {
      const auto pad = bytes_.begin() + static_cast<ptrdiff_t>(row) + stride_ - kPad;
      if (std::count(pad, pad + kPad, 0xCD) != kPad) return false;
    }
    return true;
  }

 private:
  static constexpr A_long kPad = 16;
  A_long stride_;
  std::vector<uint8_t> bytes_;
  PF_EffectWorld world_{};
};

TEST(EditionFrame, AWorldWhoseRowsRunUpwardsGetsTheSameFrame) {
  const struct {
    PF_PixelFormat format;
    uint8_t style;
    bool card;
  } cases[] = {
      {PF_PixelFormat_ARGB32, kStyle8, false},      {PF_PixelFormat_ARGB64, kStyle16, false},
      {PF_PixelFormat_ARGB128, kStyleFloat, false}, {PF_PixelFormat_ARGB32, kStyleFloat, false},
      {PF_PixelFormat_ARGB128, kStyle16, false},    {PF_PixelFormat_ARGB64, kStyle8, true}};
  for (const auto& c : cases) {
    const kelvrix::testing::SameNoise sameNoise;
    const std::vector<uint8_t> memory = c.card ? std::vector<uint8_t>{} : DistinctMemory(c.style);
    EditionFrame frame;
    frame.style = c.style;
    frame.format = c.format;
    const EditionRender usual = RenderWithMemory(frame, memory);
    UpwardWorld upward(kWidth, kHeight, c.format);
    frame.output = upward.get();
    ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
    BlockFeeder feeder;
    if (!memory.empty()) feeder.Queue(memory);
    const EditionResult result = RenderEditionFrame(frame);
    ASSERT_EQ(result.err, PF_Err_NONE) << c.format;
    EXPECT_EQ(result.card, c.card);
    const PackedFrame pixels =
        kelvrix::testing::Packed(*upward.get(), kelvrix::host::BytesPerPixel(c.format));
    EXPECT_TRUE(pixels.pixels == usual.output.pixels) << c.format << " style " << int{c.style};
    EXPECT_TRUE(upward.PaddingUntouched()) << c.format;
  }
}

class SameAsAfterEffects : public ::testing::TestWithParam<std::tuple<int, double>> {};

// An 8 bpc project at each style, both renders drawing the same noise: the same memory picture,
// pixel for pixel, and alpha 255 everywhere.
TEST_P(SameAsAfterEffects, MemoryFramesMatchTheSimulatedHostsEightBitFrame) {
  const auto [style, size] = GetParam();
  const kelvrix::testing::SameNoise sameNoise;
  const std::vector<uint8_t> memory = DistinctMemory(style);
  const auto oracle = RenderInSimHost(PF_PixelFormat_ARGB32, kWidth, kHeight, style, size, memory);
  ASSERT_EQ(oracle.err, PF_Err_NONE);
  EditionFrame frame;
  frame.size = size;
  frame.style = static_cast<uint8_t>(style);
  PackedFrame input = oracle.input;
  PF_EffectWorld inputWorld = kelvrix::testing::WorldOver(input);
  frame.input = &inputWorld;
  const EditionRender ours = RenderWithMemory(frame, memory);
  EXPECT_EQ(ours.result.err, PF_Err_NONE);
  EXPECT_FALSE(ours.result.card);
  EXPECT_EQ(ours.result.suitesUnreleased, 0);
  EXPECT_EQ(MaxDifference8(ours.output.pixels, oracle.output.pixels), 0);
  for (size_t i = 0; i < ours.output.pixels.size(); i += 4) {
    ASSERT_EQ(ours.output.pixels[i], 255) << i / 4;
  }
}

INSTANTIATE_TEST_SUITE_P(StylesAndSizes, SameAsAfterEffects,
                         ::testing::Combine(::testing::Values(kStyle8, kStyle16, kStyleFloat),
                                            ::testing::Values(37.0, 150.0, 999.6)));

// With no usable memory both show the card over the same input, to the byte, at every depth.
TEST(EditionFrame, TheCardIsTheSimulatedHostsCardAtEveryDepth) {
  for (PF_PixelFormat format :
       {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128}) {
    const auto oracle = RenderInSimHost(format, kWidth, kHeight, kStyle8, 150.0, {});
    ASSERT_EQ(oracle.err, PF_Err_NONE);
    EditionFrame frame;
    frame.format = format;
    PackedFrame input = oracle.input;
    PF_EffectWorld inputWorld = kelvrix::testing::WorldOver(input);
    frame.input = &inputWorld;
    const EditionRender ours = RenderWithMemory(frame, {});
    EXPECT_EQ(ours.result.err, PF_Err_NONE);
    EXPECT_TRUE(ours.result.card);
    EXPECT_EQ(ours.result.suitesUnreleased, 0);
    EXPECT_TRUE(ours.output.pixels == oracle.output.pixels) << std::hex << format;
  }
}

// Outside After Effects the card's second hint names no application; the title and the first
// hint are After Effects' own. At 640 x 360 the hint's baseline is row 144, 11-pixel text.
TEST(EditionFrame, TheCardsSecondHintIsTheOnlyLineThatDiffersFromAfterEffects) {
  constexpr A_long kCardWidth = 640;
  constexpr A_long kCardHeight = 360;
  const auto afterEffects = RenderInSimHost(PF_PixelFormat_ARGB32, kCardWidth, kCardHeight, kStyle8,
                                            150.0, {}, kAfterEffectsCard);
  ASSERT_EQ(afterEffects.err, PF_Err_NONE);
  EditionFrame frame;
  PackedFrame input = afterEffects.input;
  PF_EffectWorld inputWorld = kelvrix::testing::WorldOver(input);
  frame.input = &inputWorld;
  const EditionRender ours = RenderWithMemory(frame, {}, kCardWidth, kCardHeight);
  ASSERT_TRUE(ours.result.card);
  const size_t row = static_cast<size_t>(kCardWidth) * 4;
  const auto rowsEqual = [&](size_t first, size_t last) {
    return std::equal(ours.output.pixels.begin() + first * row,
                      ours.output.pixels.begin() + last * row,
                      afterEffects.output.pixels.begin() + first * row);
  };
  EXPECT_TRUE(rowsEqual(0, 125));
  EXPECT_FALSE(rowsEqual(125, 150));
  EXPECT_TRUE(rowsEqual(150, kCardHeight));
}

// Sizes a host may send: NaN is the default, out-of-range values clamp, halves round away.
TEST(EditionFrame, SizesOutOfRangeRenderAsTheSliderClampsThem) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double sent, same;
  } cases[] = {{nan, 150.0},   {-inf, 1.0},    {-3.0, 1.0},  {inf, 1000.0},
               {1e12, 1000.0}, {149.5, 150.0}, {60.49, 60.0}};
  const std::vector<uint8_t> memory = DistinctMemory(kStyle8);
  for (const auto& c : cases) {
    EditionFrame sent, same;
    sent.size = c.sent;
    same.size = c.same;
    const EditionRender a = RenderWithMemory(sent, memory);
    const EditionRender b = RenderWithMemory(same, memory);
    EXPECT_EQ(a.result.err, PF_Err_NONE) << c.sent;
    EXPECT_LE(MaxDifference8(a.output.pixels, b.output.pixels), 2) << c.sent;
  }
  // The oracle is not blind to Size: 150 and 60 differ.
  EditionFrame s150, s60;
  s60.size = 60.0;
  EXPECT_GT(MaxDifference8(RenderWithMemory(s150, memory).output.pixels,
                           RenderWithMemory(s60, memory).output.pixels),
            3);
}

// Without an input world the card lies over transparent black: outside the text every pixel
// is 0, inside it grey to white text with alpha.
TEST(EditionFrame, WithoutInputTheCardHasNoBackground) {
  EditionFrame frame;
  const EditionRender ours = RenderWithMemory(frame, {});
  EXPECT_EQ(ours.result.err, PF_Err_NONE);
  EXPECT_TRUE(ours.result.card);
  size_t inked = 0;
  for (size_t i = 0; i < ours.output.pixels.size(); i += 4) {
    const uint8_t* p = &ours.output.pixels[i];
    ASSERT_TRUE(p[1] == p[2] && p[2] == p[3]) << i / 4;
    ASSERT_TRUE(p[0] != 0 || p[1] == 0) << i / 4;
    inked += p[0] != 0;
  }
  EXPECT_GT(inked, 200u);
}

PF_Err CancelAfterTwoChecks(void* context) {
  return ++*static_cast<int*>(context) > 2 ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

// The abort check is asked between blocks; its code ends the frame with the card drawn, and
// no suite or temporary world is left behind, at a depth that needs one.
TEST(EditionFrame, AnAbortEndsTheSearchWithItsCodeAndTheCard) {
  int checks = 0;
  EditionFrame frame;
  frame.format = PF_PixelFormat_ARGB64;  // 8 bpc style into 16 bpc: a temporary world
  frame.abort = {CancelAfterTwoChecks, &checks};
  ScopedFrameSearchSetupForTesting longSearches(kelvrix::testing::TimeLimit(60000));
  BlockFeeder feeder;  // blank blocks: only the abort ends the search
  OwnedWorld output(kWidth, kHeight, frame.format);
  frame.output = output.get();
  const EditionResult result = RenderEditionFrame(frame);
  EXPECT_EQ(result.err, PF_Interrupt_CANCEL);
  EXPECT_TRUE(result.card);
  EXPECT_EQ(result.suitesUnreleased, 0);
  EXPECT_EQ(checks, 3);
  EXPECT_EQ(feeder.Allocations(), 3);
}

// A runner of the caller's that runs rows bottom-up on two threads sees every row of every
// pass once and gives the frame the inline rows give.
struct CountingRunner {
  std::atomic<long> rows{0};
  static PF_Err Run(void* self, A_long rows, edition::RowBody body, void* bodyContext) {
    static_cast<CountingRunner*>(self)->rows += rows;
    std::atomic<PF_Err> first{PF_Err_NONE};
    auto half = [&](A_long thread) {
      for (A_long row = rows - 1 - thread; row >= 0; row -= 2) {
        PF_Err expected = PF_Err_NONE;
        if (const PF_Err err = body(bodyContext, thread, row))
          first.compare_exchange_strong(expected, err);
      }
    };
    std::thread other(half, 1);
    half(0);
    other.join();
    return first.load();
  }
};

TEST(EditionFrame, RowsRunOnTheCallersRunner) {
  const std::vector<uint8_t> memory = DistinctMemory(kStyle16);
  EditionFrame frame;
  frame.style = kStyle16;  // noise, stretch, depth conversion and finishing pass
  CountingRunner runner;
  frame.rows = {CountingRunner::Run, &runner};
  const EditionRender threaded = RenderWithMemory(frame, memory);
  frame.rows = {};
  const EditionRender inline_ = RenderWithMemory(frame, memory);
  EXPECT_EQ(threaded.result.err, PF_Err_NONE);
  EXPECT_LE(MaxDifference8(threaded.output.pixels, inline_.output.pixels), 2);
  // Size 150 at 16 bpc is a side of 75, 102 x 57 pixels at 16:9: 57 noise rows, then 90 rows
  // each of stretch, conversion and alpha.
  EXPECT_EQ(runner.rows.load(), 57 + 3 * kHeight);
}

// Frames the core does not render: no output is refused, a format not ours is left alone,
// and a world of no pixels is a frame with nothing to paint.
TEST(EditionFrame, FramesItCannotRenderAreRefusedOrLeftAlone) {
  EditionFrame none;
  EXPECT_EQ(RenderEditionFrame(none).err, PF_Err_BAD_CALLBACK_PARAM);

  EditionFrame foreign;
  foreign.format = PF_PixelFormat_BGRA32;
  OwnedWorld output(kWidth, kHeight, PF_PixelFormat_ARGB32);
  foreign.output = output.get();
  PackedFrame before = output.Pixels();
  PackedFrame input = before;
  PF_EffectWorld inputWorld = kelvrix::testing::WorldOver(input);
  foreign.input = &inputWorld;
  EXPECT_EQ(RenderEditionFrame(foreign).err, PF_Err_NONE);
  EXPECT_TRUE(output.Pixels().pixels == before.pixels);

  EditionFrame empty;
  PF_Pixel8 somewhere{};
  PF_EffectWorld nothing{};
  nothing.data = &somewhere;
  empty.output = &nothing;
  const EditionResult result = RenderEditionFrame(empty);
  EXPECT_EQ(result.err, PF_Err_NONE);
  EXPECT_EQ(result.suitesUnreleased, 0);
}

// Worlds of sides from 0 to the host's limit, in the three formats; anything else refused with
// the record cleared.
TEST(EditionWorld, AllocatesTheThreeFormatsWithinTheHostsLimits) {
  const struct {
    A_long width, height;
    PF_PixelFormat format;
    PF_Err want;
    A_long rowbytes;
  } cases[] = {
      {3, 2, PF_PixelFormat_ARGB32, PF_Err_NONE, 12},
      {3, 2, PF_PixelFormat_ARGB64, PF_Err_NONE, 24},
      {3, 2, PF_PixelFormat_ARGB128, PF_Err_NONE, 48},
      {0, 0, PF_PixelFormat_ARGB32, PF_Err_NONE, 0},
      {3, 2, PF_PixelFormat_BGRA32, PF_Err_BAD_CALLBACK_PARAM, 0},
      {-1, 2, PF_PixelFormat_ARGB32, PF_Err_BAD_CALLBACK_PARAM, 0},
      {PF_MAX_WORLD_WIDTH + 1, 2, PF_PixelFormat_ARGB32, PF_Err_BAD_CALLBACK_PARAM, 0},
      {2, PF_MAX_WORLD_HEIGHT + 1, PF_PixelFormat_ARGB32, PF_Err_BAD_CALLBACK_PARAM, 0},
  };
  for (const auto& c : cases) {
    PF_EffectWorld world;
    std::memset(&world, 0x5A, sizeof world);
    EXPECT_EQ(AllocateWorld(c.width, c.height, c.format, true, &world), c.want) << c.width;
    EXPECT_EQ(world.rowbytes, c.rowbytes);
    EXPECT_EQ(world.data != nullptr, c.want == PF_Err_NONE);
    if (c.want == PF_Err_NONE && c.width > 0) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(world.data);
      EXPECT_EQ(std::count(bytes, bytes + c.rowbytes * c.height, 0), c.rowbytes * c.height);
      EXPECT_EQ(world.extent_hint.right, c.width);
      EXPECT_EQ(world.world_flags & PF_WorldFlag_DEEP, c.format == PF_PixelFormat_ARGB64 ? 1 : 0);
    }
    FreeWorld(&world);
    EXPECT_EQ(world.data, nullptr);
  }
}

}  // namespace
