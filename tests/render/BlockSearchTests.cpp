#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
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

using Find = PF_Err (*)(MemoryBlockList&, size_t, RenderPlan&, const PF_InData*, PF_OutData*);

class Search : public ::testing::Test {
 protected:
  // Runs one search as a command would, with the blocks and limits of `setup`; the list keeps
  // the blocks for inspection.
  PF_Err Run(Find find, size_t bytes, const BlockSearchSetup& setup) {
    plan_.noBlockFound = false;
    list_.reset();
    list_.emplace(setup);
    return host_.WithinCommand(
        [&](PF_InData* in, PF_OutData* out) { return find(*list_, bytes, plan_, in, out); });
  }
  PF_Err Run(Find find, size_t bytes, const BlockFeeder& feeder) {
    return Run(find, bytes, feeder.Setup());
  }

  SimHost host_{kelvrix::testing::LinkedPlugin()};
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(30)};
  RenderPlan plan_;
  std::optional<MemoryBlockList> list_;
};

}  // namespace

TEST_F(Search, SixtyPercentDarkIsRejectedAndLessIsAccepted) {
  BlockFeeder feeder;
  feeder.Queue(Bytes<uint8_t>({0, 0, 0, 0, 0, 0, 200, 200, 200, 200}));    // 6 of 10 dark
  feeder.Queue(Bytes<uint8_t>({0, 0, 0, 0, 0, 200, 200, 200, 200, 200}));  // 5 of 10
  EXPECT_EQ(Run(FindMemoryBlock8, 10, feeder), PF_Err_NONE);
  EXPECT_FALSE(plan_.noBlockFound);
  EXPECT_EQ(list_->Count(), 2u);
  EXPECT_EQ(static_cast<uint8_t*>(list_->Last())[5], 200);
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
  EXPECT_EQ(Run(FindMemoryBlock16, 10, feeder), PF_Err_NONE);
  EXPECT_FALSE(plan_.noBlockFound);
}

namespace {

// One depth's dark test, its block decision, and samples on either side of its threshold.
struct DepthCase {
  const char* name;
  size_t sampleBytes;
  bool (*isUsable)(const void*, size_t);
  bool (*isDark)(const uint8_t* sample);
  std::vector<std::vector<uint8_t>> dark, light;
};

template <typename Depth, bool (*IsUsable)(const void*, size_t)>
DepthCase CaseOf(const char* name, std::initializer_list<typename Depth::Channel> dark,
                 std::initializer_list<typename Depth::Channel> light) {
  using Channel = typename Depth::Channel;
  DepthCase c{name,
              sizeof(Channel),
              IsUsable,
              [](const uint8_t* p) {
                Channel s;
                std::memcpy(&s, p, sizeof s);
                return Depth::IsDark(s);
              },
              {},
              {}};
  for (Channel s : dark) c.dark.push_back(Bytes<Channel>({s}));
  for (Channel s : light) c.light.push_back(Bytes<Channel>({s}));
  return c;
}

std::vector<DepthCase> Depths() {
  const float inf = std::numeric_limits<float>::infinity();
  return {CaseOf<Depth8, IsBlockUsable8>("8-bit", {0, 3}, {4, 255}),
          CaseOf<Depth16, IsBlockUsable16>("16-bit", {0, 328}, {329, 65535}),
          CaseOf<DepthFloat, IsBlockUsableFloat>("float", {std::nanf(""), 0.01f, -inf, 0.0f},
                                                 {0.0100001f, inf})};
}

// Where a block's dark samples sit: every arrangement that could fool a decision taken
// before the block's end.
enum class Layout { kFirst, kLast, kSpread, kRandom, kMiddle };

std::vector<bool> Arrange(size_t samples, size_t dark, Layout layout, std::mt19937& random) {
  std::vector<bool> isDark(samples, false);
  switch (layout) {
    case Layout::kFirst:
      std::fill(isDark.begin(), isDark.begin() + dark, true);
      break;
    case Layout::kLast:
      std::fill(isDark.end() - dark, isDark.end(), true);
      break;
    case Layout::kMiddle:
      std::fill(isDark.begin() + (samples - dark) / 2, isDark.begin() + (samples - dark) / 2 + dark,
                true);
      break;
    case Layout::kSpread:
      for (size_t k = 0; k < dark; ++k) isDark[k * samples / dark] = true;
      break;
    case Layout::kRandom:
      std::fill(isDark.begin(), isDark.begin() + dark, true);
      std::shuffle(isDark.begin(), isDark.end(), random);
      break;
  }
  return isDark;
}

}  // namespace

// The decision read early must be the decision of the whole count: dark samples fewer than
// 60 % of the block. Blocks of many lengths, with dark counts on either side of the
// threshold, laid out first, last, in the middle, spread and at random, plus random bytes.
TEST(BlockDecision, EqualsTheDecisionOfTheFullCount) {
  std::mt19937 random(12);
  int decided = 0;
  for (const DepthCase& depth : Depths()) {
    for (size_t samples : {0, 1, 2, 5, 10, 63, 257, 4095, 4097, 8191, 16385, 40000, 100003}) {
      const size_t atLimit = static_cast<size_t>(std::ceil(0.6 * static_cast<double>(samples)));
      std::vector<size_t> darkCounts = {0, samples};
      for (size_t d : {atLimit - 1, atLimit, atLimit + 1}) {
        if (d <= samples) darkCounts.push_back(d);
      }
      for (size_t dark : darkCounts) {
        for (Layout layout :
             {Layout::kFirst, Layout::kLast, Layout::kMiddle, Layout::kSpread, Layout::kRandom}) {
          const std::vector<bool> isDark = Arrange(samples, dark, layout, random);
          std::vector<uint8_t> block(samples * depth.sampleBytes + 1);
          for (size_t i = 0; i < samples; ++i) {
            const auto& pool = isDark[i] ? depth.dark : depth.light;
            std::memcpy(&block[i * depth.sampleBytes], pool[random() % pool.size()].data(),
                        depth.sampleBytes);
          }
          size_t counted = 0;  // the oracle: one sample at a time
          for (size_t i = 0; i < samples; ++i)
            counted += depth.isDark(&block[i * depth.sampleBytes]);
          ASSERT_EQ(counted, dark);
          SCOPED_TRACE(std::string(depth.name) + " samples " + std::to_string(samples) + " dark " +
                       std::to_string(dark) + " layout " +
                       std::to_string(static_cast<int>(layout)));
          EXPECT_EQ(depth.isUsable(block.data(), samples), 10 * dark < 6 * samples);
          ++decided;
        }
      }
    }
    for (int trial = 0; trial < 200; ++trial) {  // random bytes, a few dark by chance
      const size_t samples = random() % 30000;
      std::vector<uint8_t> block(samples * depth.sampleBytes + 3);
      const unsigned darkBias = random() % 8;
      for (auto& b : block) b = static_cast<uint8_t>(random() % 8 < darkBias ? 0 : random());
      size_t counted = 0;
      for (size_t i = 0; i < samples; ++i) counted += depth.isDark(&block[i * depth.sampleBytes]);
      SCOPED_TRACE(std::string(depth.name) + " random trial " + std::to_string(trial));
      EXPECT_EQ(depth.isUsable(block.data(), samples), 10 * counted < 6 * samples);
    }
  }
  EXPECT_GT(decided, 500);  // the table above did run
}

TEST_F(Search, ATrailingPartialSampleIsNotRead) {
  BlockFeeder feeder;
  feeder.Queue(Bytes<uint8_t>({200, 200, 0}));  // one 16-bit sample (not dark) and a stray byte
  EXPECT_EQ(Run(FindMemoryBlock16, 3, feeder), PF_Err_NONE);
  EXPECT_FALSE(plan_.noBlockFound);
  EXPECT_EQ(list_->Count(), 1u);
}

TEST_F(Search, BlankMemoryRunsOutOfTimeWithEveryBlockKept) {
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  EXPECT_EQ(Run(FindMemoryBlockFloat, 4096, feeder), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_GT(list_->Count(), 1u);
  EXPECT_EQ(static_cast<int>(list_->Count()), feeder.Allocations());
  for (void* block : list_->Blocks()) EXPECT_NE(block, nullptr);
}

TEST_F(Search, AZeroSizeBlockIsNeverAcceptedNorAFailure) {
  BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
  EXPECT_EQ(Run(FindMemoryBlock8, 0, feeder), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_GE(list_->Count(), 1u);
  EXPECT_STREQ(host_.LastOutData().return_msg, "");
}

TEST_F(Search, AHostAbortOnTheFirstAttemptReturnsItsCode) {
  BlockFeeder feeder(BlockFeeder::Fallback::kHeap);
  host_.ArmAbort(0);
  EXPECT_EQ(Run(FindMemoryBlock8, 1000, feeder), PF_Interrupt_CANCEL);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_EQ(list_->Count(), 1u);
}

TEST_F(Search, AFailedAllocationLeavesANullEntryAndTheMessage) {
  BlockFeeder feeder(BlockFeeder::Fallback::kFail);
  feeder.Queue(std::vector<uint8_t>(1, 0));
  feeder.Queue(std::vector<uint8_t>(1, 0));
  EXPECT_EQ(Run(FindMemoryBlock8, 64, feeder), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  ASSERT_EQ(list_->Count(), 3u);
  EXPECT_NE(list_->Blocks()[0], nullptr);
  EXPECT_NE(list_->Blocks()[1], nullptr);
  EXPECT_EQ(list_->Blocks()[2], nullptr);
  EXPECT_STREQ(host_.LastOutData().return_msg,
               "kelvrix failed to allocate a block of memory. Please report this on skarnhold.");
  EXPECT_EQ(host_.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
}

TEST_F(Search, AHugeSizeFailsToAllocateRatherThanCrash) {
  SearchBudget unbounded(std::numeric_limits<size_t>::max());
  BlockSearchSetup setup = ProductionSearchSetup();
  setup.budget = &unbounded;
  EXPECT_EQ(Run(FindMemoryBlock8, std::numeric_limits<size_t>::max() / 2, setup), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  ASSERT_EQ(list_->Count(), 1u);
  EXPECT_EQ(list_->Last(), nullptr);
  EXPECT_STREQ(host_.LastOutData().return_msg,
               "kelvrix failed to allocate a block of memory. Please report this on skarnhold.");
  list_.reset();
  EXPECT_EQ(unbounded.HeldBytes(), 0u);
}

// Blank blocks against a budget of three: the search stops at the budget as on a time-out,
// and a second search while the first one's blocks are still held gets no block at all; both
// give the card with no message, and every byte comes back when the lists go.
TEST_F(Search, ABudgetHeldByAnotherSearchGivesTheCardNotAnError) {
  BlockFeeder feeder(BlockFeeder::Fallback::kBlank);
  constexpr size_t kBlock = 4096;
  SearchBudget budget(3 * (kBlock + 64));
  BlockSearchSetup setup = feeder.Setup();
  setup.timeLimitMs = 60000;  // only the budget can end these searches
  setup.budget = &budget;
  std::optional<MemoryBlockList> first(std::in_place, setup);
  RenderPlan firstPlan;
  EXPECT_EQ(host_.WithinCommand([&](PF_InData* in, PF_OutData* out) {
    return FindMemoryBlock8(*first, kBlock, firstPlan, in, out);
  }),
            PF_Err_NONE);
  EXPECT_TRUE(firstPlan.noBlockFound);
  EXPECT_EQ(first->Count(), 3u);
  EXPECT_LE(budget.HeldBytes(), budget.LimitBytes());

  EXPECT_EQ(Run(FindMemoryBlock8, kBlock, setup), PF_Err_NONE);
  EXPECT_TRUE(plan_.noBlockFound);
  EXPECT_EQ(list_->Count(), 0u);
  EXPECT_STREQ(host_.LastOutData().return_msg, "");
  EXPECT_EQ(feeder.Allocations(), 3);

  list_.reset();
  first.reset();
  EXPECT_EQ(budget.HeldBytes(), 0u);
}
