#include "render/BlockSearch.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "render/PixelTraits.h"

namespace kelvrix {
namespace {

constexpr int kDefaultTimeLimitMs = 2000;
std::atomic<int> gTimeLimitMs{kDefaultTimeLimitMs};
std::atomic<void* (*)(size_t)> gAllocate{std::malloc};

// The block's contents are whatever the heap held: the point of the effect. Allocation sits
// behind a call the optimiser cannot see through, and the barrier tells it the bytes may
// have been written by anyone, so neither the allocation nor the reads that follow can be
// reasoned away or treated as reads of an unset value.
__attribute__((noinline)) void* AllocateBlock(size_t bytes) {
  void* block = gAllocate.load(std::memory_order_relaxed)(bytes);
#if defined(__GNUC__)
  __asm__ __volatile__("" : : "r"(block) : "memory");
#endif
  return block;
}

// Counts with a comparison per sample and no branch, in lane-wise chunks whose counters
// cannot overflow, so the compiler turns the inner loop into wide vector compares.
template <typename Sample, typename Lane, size_t kLanes, typename IsDark>
inline __attribute__((always_inline)) size_t CountDark(const unsigned char* bytes, size_t samples,
                                                       IsDark isDark) {
  constexpr size_t kMaxRounds = static_cast<Lane>(~Lane{0});  // per-lane counter capacity
  size_t total = 0;
  size_t i = 0;
  while (samples - i >= kLanes) {
    Lane lanes[kLanes] = {};
    size_t rounds = (samples - i) / kLanes;
    if (rounds > kMaxRounds) rounds = kMaxRounds;
    for (size_t r = 0; r < rounds; ++r, i += kLanes) {
      for (size_t k = 0; k < kLanes; ++k) {
        Sample s;
        std::memcpy(&s, bytes + (i + k) * sizeof(Sample), sizeof(Sample));
        lanes[k] = static_cast<Lane>(lanes[k] + (isDark(s) ? 1 : 0));
      }
    }
    for (size_t k = 0; k < kLanes; ++k) total += lanes[k];
  }
  for (; i < samples; ++i) {
    Sample s;
    std::memcpy(&s, bytes + i * sizeof(Sample), sizeof(Sample));
    total += isDark(s) ? 1 : 0;
  }
  return total;
}

template <typename Depth>
PF_Err FindMemoryBlock(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                       const PF_InData* in_data, PF_OutData* out_data) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const long long limitMs = gTimeLimitMs.load(std::memory_order_relaxed);
  const size_t samples = bytes / sizeof(typename Depth::Channel);
  for (;;) {
    void* block = AllocateBlock(bytes);
    list.Append(block);
    if (block == nullptr) {
      plan.noBlockFound = true;
      std::memcpy(out_data->return_msg, kAllocationFailedMessage, sizeof kAllocationFailedMessage);
      return PF_Err_NONE;
    }
    if (const PF_Err abort = in_data->inter.abort(in_data->effect_ref)) {
      plan.noBlockFound = true;
      return abort;
    }
    const size_t dark = Depth::kCountDark(block, samples);
    // Exactly 60 % dark is rejected; an empty block (0 of 0) is never accepted.
    if (static_cast<double>(dark) < 0.6 * static_cast<double>(samples)) return PF_Err_NONE;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    if (elapsed > limitMs) {
      plan.noBlockFound = true;
      return PF_Err_NONE;
    }
  }
}

}  // namespace

// Where the loader can pick a variant at run time, the scan also comes in wider vector
// instruction sets: in-cache blocks are scanned at roughly twice the baseline's speed. Not
// under the sanitizers, whose runtimes are not up yet when the loader runs the resolvers.
#if defined(__linux__) && defined(__x86_64__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define KELVRIX_SCAN_VARIANTS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define KELVRIX_SCAN_VARIANTS
#endif

static_assert(sizeof kAllocationFailedMessage == 79, "78 characters and the terminator");

MemoryBlockList::~MemoryBlockList() {
  for (void* block : blocks_) std::free(block);
}

void MemoryBlockList::Append(void* block) {
  try {
    blocks_.push_back(block);
  } catch (...) {
    std::free(block);
    throw;
  }
}

KELVRIX_SCAN_VARIANTS size_t CountDark8(const void* block, size_t samples) {
  return CountDark<uint8_t, uint8_t, 256>(static_cast<const unsigned char*>(block), samples,
                                          Depth8::IsDark);
}

KELVRIX_SCAN_VARIANTS size_t CountDark16(const void* block, size_t samples) {
  return CountDark<uint16_t, uint16_t, 128>(static_cast<const unsigned char*>(block), samples,
                                            Depth16::IsDark);
}

KELVRIX_SCAN_VARIANTS size_t CountDarkFloat(const void* block, size_t samples) {
  return CountDark<float, uint32_t, 64>(static_cast<const unsigned char*>(block), samples,
                                        DepthFloat::IsDark);
}

PF_Err FindMemoryBlock8(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                        const PF_InData* in_data, PF_OutData* out_data) {
  return FindMemoryBlock<Depth8>(list, bytes, plan, in_data, out_data);
}

PF_Err FindMemoryBlock16(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                         const PF_InData* in_data, PF_OutData* out_data) {
  return FindMemoryBlock<Depth16>(list, bytes, plan, in_data, out_data);
}

PF_Err FindMemoryBlockFloat(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                            const PF_InData* in_data, PF_OutData* out_data) {
  return FindMemoryBlock<DepthFloat>(list, bytes, plan, in_data, out_data);
}

void SetSearchTimeLimitForTesting(int milliseconds) {
  gTimeLimitMs = milliseconds < 0 ? kDefaultTimeLimitMs : milliseconds;
}

void SetBlockAllocatorForTesting(void* (*allocate)(size_t)) {
  gAllocate = allocate != nullptr ? allocate : std::malloc;
}

}  // namespace kelvrix
