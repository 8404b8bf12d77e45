#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "render/BlockSearch.h"
#include "render/PixelTraits.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using kelvrix::host::SimHost;
using kelvrix::testing::BlockFeeder;

namespace {

template <typename T>
std::vector<uint8_t> Bytes(std::initializer_list<T> samples) {
  std::vector<uint8_t> out(samples.size() * sizeof(T));
  std::memcpy(out.data(), samples.begin(), out.size());
  return out;
}

class Search : public ::testing::Test {
 protected:
  void SetUp() override { SetSearchTimeLimitForTesting(30); }
  void TearDown() override { SetSearchTimeLimitForTesting(-1); }

  // Runs one search as a command would; the list keeps the blocks for inspection.
  PF_Err Run(PF_Err (*find)(MemoryBlockList&, size_t, RenderPlan&, const PF_InData*, PF_OutData*),
             size_t bytes) {
    plan_.noBlockFound = false;
    return host_.WithinCommand(
        [&](PF_InData* in, PF_OutData* out) { return find(list_, bytes, plan_, in, out); });
  }

  SimHost host_{kelvrix::testing::LinkedPlugin()};
  RenderPlan plan_;
  MemoryBlockList list_;
};

}  // namespace

TEST_F(Search, SixtyPercentDarkIsRejectedAndLessIsAccepted) {
  BlockFeeder feeder;
  feeder.Queue(Bytes<uint8_t>({0, 0, 0, 0, 0, 0, 200, 200, 200, 200}));    // 6 of 10 dark
  feeder.Queue(Bytes<uint8_t>({0, 0, 0, 0, 0, 200, 200, 200, 200, 200}));  // 5 of 10
  EXPECT_EQ(Run(FindMemoryBlock8, 10), PF_Err_NONE);
  EXPECT_FALSE(plan_.noBlockFound);
  EXPECT_EQ(list_.Count(), 2u);
  EXPECT_EQ(static_cast<uint8_t*>(list_.Last())[5], 200);
}

TEST_F(Search, EachMemberHasItsOwnDarkThreshold) {
  EXPECT_TRUE(Depth8::IsDark(3));
  EXPECT_FALSE(Depth8::IsDark(4));
  EXPECT_TRUE(Depth16::IsDark(328));
  EXPECT_FALSE(Depth16::IsDark(329));
  for (float dark : {std::nanf(""), 0.0f, -5.0f, 0.01f, -std::numeric_limits<float>::infinity()}) {
    EXPECT_TRUE(DepthFloat::IsDark(dark)) << dark;
  }
  EXPECT_FALSE(DepthFloat::IsDark(0.0100001f));
  EXPECT_FALSE(DepthFloat::IsDark(std::numeric_limits<float>::infinity()));

  BlockFeeder feeder;
  feeder.Queue(Bytes<uint16_t>({328, 328, 329, 329, 329}));  // 2 of 5 dark: accepted
  EXPECT_EQ(Run(FindMemoryBlock16, 10), PF_Err_NONE);
  EXPECT_FALSE(plan_.noBlockFound);
}

TEST_F(Search, TheCountsMatchASampleBySampleCount) {
  std::mt19937 random(7);
  std::vector<uint8_t> bytes(4099 * 4 + 3);
  for (auto& b : bytes) b = static_cast<uint8_t>(random() % 7 == 0 ? random() % 5 : random());
  for (size_t samples : {size_t{0}, size_t{1}, size_t{63}, size_t{64}, size_t{65}, size_t{4099}}) {
    size_t want8 = 0, want16 = 0, wantF = 0;
    for (size_t i = 0; i < samples; ++i) {
      want8 += Depth8::IsDark(bytes[i]);
      uint16_t s16;
      std::memcpy(&s16, &bytes[i * 2], 2);
      want16 += Depth16::IsDark(s16);
      float sf;
      std::memcpy(&sf, &bytes[i * 4], 4);
      wantF += DepthFloat::IsDark(sf);
    }
    EXPECT_EQ(CountDark8(bytes.data(), samples), want8) << samples;
    EXPECT_EQ(CountDark16(bytes.data(), samples), want16) << samples;
    EXPECT_EQ(CountDarkFloat(bytes.data(), samples), wantF) << samples;
  }
  std::vector<uint8_t> big(256 * 64 * 3, 0);  // more dark bytes than an 8-bit lane can count
  EXPECT_EQ(CountDark8(big.data(), big.size()), big.size());
}

TEST_F(Search, ATrailingPartialSampleIsNotRead) {
  BlockFeeder feeder;
  feeder.Queue(Bytes<uint8_t>({200, 200, 0}));  // one 16-bit sample (not dark) and a stray byte
  EXPECT_EQ(Run(FindMemoryBlock16, 3), PF_Err_NONE);
  EXPECT_FALSE(plan_.noBlockFound);
  EXPECT_EQ(list_.Count(), 1u);
}

TEST_F(Search, BlankMemoryRunsOutOfTimeWithEveryBlockKept) {
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  EXPECT_EQ(Run(FindMemoryBlockFloat, 4096), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_GT(list_.Count(), 1u);
  EXPECT_EQ(static_cast<int>(list_.Count()), feeder.Allocations());
  for (void* block : list_.Blocks()) EXPECT_NE(block, nullptr);
}

TEST_F(Search, AZeroSizeBlockIsNeverAcceptedNorAFailure) {
  BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
  EXPECT_EQ(Run(FindMemoryBlock8, 0), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_GE(list_.Count(), 1u);
  EXPECT_STREQ(host_.LastOutData().return_msg, "");
}

TEST_F(Search, AHostAbortOnTheFirstAttemptReturnsItsCode) {
  BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
  host_.ArmAbort(0);
  EXPECT_EQ(Run(FindMemoryBlock8, 1000), PF_Interrupt_CANCEL);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_EQ(list_.Count(), 1u);
}

TEST_F(Search, AFailedAllocationLeavesANullEntryAndTheMessage) {
  BlockFeeder feeder(BlockFeeder::Fallback::kFail);
  feeder.Queue(std::vector<uint8_t>(1, 0));
  feeder.Queue(std::vector<uint8_t>(1, 0));
  EXPECT_EQ(Run(FindMemoryBlock8, 64), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  ASSERT_EQ(list_.Count(), 3u);
  EXPECT_NE(list_.Blocks()[0], nullptr);
  EXPECT_NE(list_.Blocks()[1], nullptr);
  EXPECT_EQ(list_.Blocks()[2], nullptr);
  EXPECT_STREQ(host_.LastOutData().return_msg,
               "kelvrix failed to allocate a block of memory. Please report this on skarnhold.");
  EXPECT_EQ(host_.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
}

TEST_F(Search, AHugeSizeFailsToAllocateRatherThanCrash) {
  EXPECT_EQ(Run(FindMemoryBlock8, std::numeric_limits<size_t>::max() / 2), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  ASSERT_EQ(list_.Count(), 1u);
  EXPECT_EQ(list_.Last(), nullptr);
  EXPECT_STREQ(host_.LastOutData().return_msg,
               "kelvrix failed to allocate a block of memory. Please report this on skarnhold.");
}
