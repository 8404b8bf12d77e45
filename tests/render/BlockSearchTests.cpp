#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <random>

#if defined(_WIN32)
#include <windows.h>
// after windows.h, whose types it uses
#include <psapi.h>
#else
#include <malloc.h>
#endif

#include "render/PixelTraits.h"
#include "tests/support/BlockFeeder.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix;
using Fallback = kelvrix::testing::BlockFeeder::Fallback;

namespace {

using Find = PF_Err (*)(MemoryBlockList&, size_t, RenderPlan&, const PF_InData*, PF_OutData*);

class Search : public ::testing::Test {
 protected:
  // Runs one search as a command would; `list` keeps the blocks for inspection.
  PF_Err Run(Find find, size_t bytes, const BlockSearchSetup& setup,
             std::optional<MemoryBlockList>& list) {
    plan_.noBlockFound = false;
    list.reset();
    list.emplace(setup);
    return host_.WithinCommand(
        [&](PF_InData* in, PF_OutData* out) { return find(*list, bytes, plan_, in, out); });
  }

  host::SimHost host_{kelvrix::testing::LinkedPlugin()};
  ScopedFrameSearchSetupForTesting shortSearches_{kelvrix::testing::TimeLimit(30)};
  RenderPlan plan_;
  std::optional<MemoryBlockList> list_;
};

// Each search is fed the queued blocks, then the fallback; every block it got stays listed
// until the list goes, and then its bytes go back to the budget.
TEST_F(Search, StopsAtTheFirstUsableBlockOrWhenNoneCanBeHad) {
  const Fallback kBlank = Fallback::kBlank;
  const std::vector<uint8_t> sixDark = {0, 0, 0, 0, 0, 0, 9, 9, 9, 9};
  const std::vector<uint8_t> fiveDark = {0, 0, 0, 0, 0, 9, 9, 9, 9, 9};
  const struct {
    Find find;
    size_t bytes;
    Fallback fallback;
    std::vector<std::vector<uint8_t>> queued;
    size_t count;  // 0: as many as the time allowed
    bool found;
    const char* message;
  } cases[] = {
      // 60 % dark is rejected, 50 % accepted.
      {FindMemoryBlock8, 10, kBlank, {sixDark, fiveDark}, 2, true, ""},
      // 16-bit samples: 4 is dark, 329 is not.
      {FindMemoryBlock16, 10, kBlank, {{4, 0}, {0x49, 1}}, 2, true, ""},
      // A trailing partial sample is not read.
      {FindMemoryBlock16, 3, kBlank, {{200, 200, 0}}, 1, true, ""},
      // Blank memory runs out of time; a zero-size block is never accepted.
      {FindMemoryBlockFloat, 4096, kBlank, {}, 0, false, ""},
      {FindMemoryBlock8, 0, Fallback::kHeap, {}, 0, false, ""},
      // A failed allocation ends the search with the message.
      {FindMemoryBlock8,
       64,
       Fallback::kFail,
       {{0}, {0}},
       3,
       false,
       "kelvrix failed to allocate a block of memory. Please report this on skarnhold."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    kelvrix::testing::BlockFeeder feeder(c.fallback);
    for (const auto& block : c.queued) feeder.Queue(block);
    EXPECT_EQ(Run(c.find, c.bytes, FrameSearchSetup(), list_), PF_Err_NONE);
    EXPECT_EQ(plan_.noBlockFound, !c.found);
    EXPECT_STREQ(host_.LastOutData().return_msg, c.message);
    EXPECT_EQ(host_.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    const std::vector<void*>& blocks = list_->Blocks();
    EXPECT_EQ(static_cast<int>(blocks.size()), feeder.Allocations());
    EXPECT_TRUE(c.count == 0 ? blocks.size() > 1 : blocks.size() == c.count) << blocks.size();
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), nullptr), c.message[0] == 0 ? 0 : 1);
    list_.reset();
    EXPECT_EQ(FrameSearchSetup().budget->HeldBytes(), 0u);
  }
}

// Blank blocks against a budget of three: the search stops there as on a time-out, and a
// second one while the first one's blocks are held gets none; both give the card, no message.
TEST_F(Search, ABudgetHeldByAnotherSearchGivesTheCardNotAnError) {
  kelvrix::testing::BlockFeeder feeder(Fallback::kBlank);
  SearchBudget budget(3 * (4096 + 64));
  BlockSearchSetup setup = FrameSearchSetup();
  setup.timeLimitMs = 60000;  // only the budget can end these searches
  setup.budget = &budget;
  std::optional<MemoryBlockList> first;
  for (std::optional<MemoryBlockList>* list : {&first, &list_}) {
    EXPECT_EQ(Run(FindMemoryBlock8, 4096, setup, *list), PF_Err_NONE);
    EXPECT_TRUE(plan_.noBlockFound);
    EXPECT_STREQ(host_.LastOutData().return_msg, "");
  }
  EXPECT_EQ(first->Count(), 3u);
  EXPECT_EQ(list_->Count(), 0u);
  EXPECT_EQ(feeder.Allocations(), 3);
  list_.reset();
  first.reset();
  EXPECT_EQ(budget.HeldBytes(), 0u);
}

// The budget is spent: the search asks the host before it gives up, and a cancelled render
// returns the abort code, not a finished card frame.
TEST_F(Search, ASpentBudgetStillReturnsTheHostsAbort) {
  kelvrix::testing::BlockFeeder feeder(Fallback::kBlank);
  SearchBudget spent(0);
  BlockSearchSetup setup = FrameSearchSetup();
  setup.budget = &spent;
  for (const bool cancelled : {false, true}) {
    if (cancelled) host_.ArmAbort(0);
    EXPECT_EQ(Run(FindMemoryBlock16, 64, setup, list_), cancelled ? PF_Interrupt_CANCEL : 0);
    EXPECT_TRUE(plan_.noBlockFound);
    EXPECT_EQ(list_->Count(), 0u);
    EXPECT_EQ(host_.AbortPolls(), 1);  // counted afresh once armed
  }
  EXPECT_EQ(feeder.Allocations(), 0);
}

// A source that throws (a test's, or a host's new) on its first or third block: the bytes
// reserved for that block go back at once, those of the blocks listed before it with the list.
TEST_F(Search, ABlockSourceThatThrowsGivesItsBytesBack) {
  static int calls;
  static int throwAt;
  const auto allocate = [](size_t bytes) -> void* {
    if (++calls == throwAt) throw std::bad_alloc();
    return std::calloc(bytes, 1);
  };
  SearchBudget budget(size_t{1} << 20);
  const BlockSearchSetup setup{BlockSource{allocate, std::free}, 60000, &budget};
  for (const int at : {1, 3}) {
    calls = 0;
    throwAt = at;
    bool thrown = false;
    host_.WithinCommand([&](PF_InData* in, PF_OutData* out) {
      MemoryBlockList list(setup);
      try {
        FindMemoryBlock8(list, 100, plan_, in, out);
      } catch (const std::bad_alloc&) {
        thrown = true;
      }
      EXPECT_EQ(list.Count(), static_cast<size_t>(at - 1));
      EXPECT_EQ(budget.HeldBytes(), list.HeldBytes());
      return PF_Err_NONE;
    });
    EXPECT_TRUE(thrown);
    EXPECT_EQ(budget.HeldBytes(), 0u);
  }
}

// What the heap holds by the process's own count: its in-use chunks (glibc), or the working set
// (Windows, where Wine keeps no count of private bytes). The working set also takes in whatever
// else the process touches meanwhile and the heap's own growth: up to 0.6 MiB was seen beyond
// the blocks' share under Wine.
#if defined(_WIN32)
constexpr size_t kFigureSlack = size_t{1} << 20;
#else
constexpr size_t kFigureSlack = 0;
#endif
size_t ProcessHeapFigure() {
#if defined(_WIN32)
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

void* ZeroedHeapBlock(size_t bytes) {
  void* block = ProcessHeapBlocks().allocate(bytes);
  if (block != nullptr) std::memset(block, 0, bytes);
  return block;
}

// Blank blocks from the process heap until the budget is spent, tiny and empty ones most of all,
// whose heap header and granularity outweigh their bytes: the heap itself holds no more than the
// budget for them (and, so that the test means something, more than half of it).
TEST_F(Search, BlocksDrivenToTheBudgetHoldNoMoreThanItByTheProcesssOwnFigure) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizer's allocator keeps its own books";
#endif
  constexpr size_t kBudget = size_t{16} << 20;
  for (const size_t bytes : {0, 1, 3, 24, 40, 100, 4000}) {
    SearchBudget budget(kBudget);
    const BlockSearchSetup setup{BlockSource{ZeroedHeapBlock, ProcessHeapBlocks().release}, 600000,
                                 &budget};
    const size_t before = ProcessHeapFigure();
    size_t held = 0;
    host_.WithinCommand([&](PF_InData* in, PF_OutData* out) {
      MemoryBlockList list(setup);
      EXPECT_EQ(FindMemoryBlock8(list, bytes, plan_, in, out), PF_Err_NONE);
      held = ProcessHeapFigure() - before;
      return PF_Err_NONE;
    });
    EXPECT_TRUE(plan_.noBlockFound);
    EXPECT_LE(held, kBudget + kFigureSlack) << bytes << "-byte blocks";
    EXPECT_GT(held, kBudget / 2) << bytes << "-byte blocks";
  }
}

// The decision, taken between chunks, must be that of the whole count: fewer than 60 % of the
// samples dark. Lengths about the chunk and lane sizes; dark counts about the limit, laid out
// first, last, in the middle, spread and at random; a dark sample past the end that must not
// count. Then a few random blocks.
template <typename Depth>
void ExpectTheDecisionOfTheFullCount(bool (*IsUsable)(const void*, size_t),
                                     std::vector<typename Depth::Channel> dark,
                                     std::vector<typename Depth::Channel> light) {
  using Channel = typename Depth::Channel;
  std::mt19937 random(12);
  const auto pick = [&](const std::vector<Channel>& pool) { return pool[random() % pool.size()]; };
  for (size_t samples : {0, 1, 5, 63, 257, 4095, 4097, 8191, 16385, 40000, 100003}) {
    const auto atLimit = static_cast<size_t>(std::ceil(0.6 * static_cast<double>(samples)));
    for (size_t n : {size_t{0}, atLimit - 1, atLimit, atLimit + 1, samples}) {
      for (int layout = 0; layout < 5 && n <= samples; ++layout) {
        std::vector<Channel> block;
        for (size_t i = 0, middle = (samples - n) / 2; i < samples; ++i) {
          const bool isDark[] = {i < n, samples - i <= n, i - middle < n, i * n % samples < n};
          block.push_back(pick(isDark[layout % 4] ? dark : light));
        }
        if (layout == 4) std::shuffle(block.begin(), block.end(), random);
        block.push_back(dark[0]);
        ASSERT_EQ(IsUsable(block.data(), samples), 10 * n < 6 * samples)
            << sizeof(Channel) << "-byte samples " << samples << ", dark " << n << ", layout "
            << layout;
      }
    }
  }
  for (int trial = 0; trial < 20; ++trial) {
    std::vector<Channel> block(random() % 30000);
    const unsigned darkShare = random() % 8;
    for (Channel& s : block) s = pick(random() % 8 < darkShare ? dark : light);
    const auto counted =
        static_cast<size_t>(std::count_if(block.begin(), block.end(), Depth::IsDark));
    ASSERT_EQ(IsUsable(block.data(), block.size()), 10 * counted < 6 * block.size())
        << sizeof(Channel) << "-byte samples, trial " << trial;
  }
}

// Every build of the scan this processor can run, whichever production picks: the baseline and
// AVX2 builds too where the processor has AVX-512.
TEST(BlockDecision, EveryBuildEqualsTheDecisionOfTheFullCount) {
  const float inf = std::numeric_limits<float>::infinity();
  size_t count = 0;
  const ScanBuild* builds = ScanBuilds(&count);
  ASSERT_STREQ(builds[count - 1].name, "baseline");
  for (const ScanBuild* build = builds; build < builds + count; ++build) {
    if (!build->runsHere()) {
      std::printf("scan build %s: not run, this processor lacks its instructions\n", build->name);
      continue;
    }
    SCOPED_TRACE(build->name);
    ExpectTheDecisionOfTheFullCount<Depth8>(build->usable8, {0, 3}, {4, 255});
    ExpectTheDecisionOfTheFullCount<Depth16>(build->usable16, {0, 328}, {329, 65535});
    ExpectTheDecisionOfTheFullCount<DepthFloat>(
        build->usableFloat, {std::nanf(""), -inf, -5.0f, 0.0f, 0.01f}, {0.0100001f, inf});
  }
}

}  // namespace
