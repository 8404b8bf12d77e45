// Frames rendered at once on several threads, each with its rows on a runner of its own
// threads: frames share no state, and every one is the same picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "edition/EditionFrame.h"
#include "edition/EditionWorld.h"
#include "tests/support/SimHostOracle.h"

using namespace kelvrix;

namespace {

// Every block holds the same pattern for the style: the source is safe on any thread.
template <int Style>
void* PatternedBlock(size_t bytes) {
  static const std::vector<uint8_t> pattern = kelvrix::testing::DistinctMemory(Style);
  auto* block = static_cast<uint8_t*>(std::malloc(bytes == 0 ? 1 : bytes));
  for (size_t i = 0; block != nullptr && i < bytes; ++i) block[i] = pattern[i % pattern.size()];
  return block;
}

constexpr void* (*kPatternedBlocks[])(size_t) = {
    nullptr, PatternedBlock<kStyle8>, PatternedBlock<kStyle16>, PatternedBlock<kStyleFloat>};

PF_Err RunOnThreeThreads(void*, A_long rows, edition::RowBody body, void* bodyContext) {
  std::vector<std::thread> threads;
  std::vector<PF_Err> results(3, PF_Err_NONE);
  for (A_long t = 0; t < 3; ++t) {
    threads.emplace_back([&, t] {
      for (A_long row = t; row < rows && results[t] == PF_Err_NONE; row += 3) {
        results[t] = body(bodyContext, t, row);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (PF_Err err : results) {
    if (err != PF_Err_NONE) return err;
  }
  return PF_Err_NONE;
}

std::vector<uint8_t> RenderOne(PF_PixelFormat format, uint8_t style, PF_Err* err) {
  PF_EffectWorld output{};
  *err = edition::AllocateWorld(96, 54, format, true, &output);
  if (*err != PF_Err_NONE) return {};
  edition::EditionFrame frame;
  frame.size = 60.0;
  frame.style = style;
  frame.format = format;
  frame.output = &output;
  frame.rows = {RunOnThreeThreads, nullptr};
  const edition::EditionResult result = edition::RenderEditionFrame(frame);
  *err = result.err != PF_Err_NONE ? result.err : result.card ? PF_Err_INTERNAL_STRUCT_DAMAGED : 0;
  std::vector<uint8_t> pixels = kelvrix::testing::Packed(output, 4).pixels;
  edition::FreeWorld(&output);
  return pixels;
}

TEST(EditionConcurrency, FramesOnSixThreadsAreEachTheSamePicture) {
  for (uint8_t style : {kStyle8, kStyle16, kStyleFloat}) {
    BlockSearchSetup setup = kelvrix::testing::TimeLimit(2000);
    setup.source = BlockSource{kPatternedBlocks[style], std::free};
    ScopedFrameSearchSetupForTesting searches(setup);
    PF_Err err = PF_Err_NONE;
    const std::vector<uint8_t> reference = RenderOne(PF_PixelFormat_ARGB32, style, &err);
    ASSERT_EQ(err, PF_Err_NONE);
    std::vector<std::thread> threads;
    std::vector<int> worst(6, 0);
    std::vector<PF_Err> errors(6, PF_Err_NONE);
    for (int t = 0; t < 6; ++t) {
      threads.emplace_back([&, t] {
        for (int f = 0; f < 4; ++f) {
          PF_Err e = PF_Err_NONE;
          const auto pixels = RenderOne(PF_PixelFormat_ARGB32, style, &e);
          if (e != PF_Err_NONE) errors[t] = e;
          worst[t] = std::max(worst[t], kelvrix::testing::MaxDifference8(pixels, reference));
        }
      });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < 6; ++t) {
      EXPECT_EQ(errors[t], PF_Err_NONE) << t;
      EXPECT_LE(worst[t], kelvrix::testing::NoiseTolerance8(style)) << t;
    }
  }
}

}  // namespace
