#include "render/BlockSearch.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

#include "render/PixelTraits.h"

namespace kelvrix {
namespace {

// A block is counted a chunk at a time and decided between chunks, as soon as the rest cannot
// change the outcome. On fresh memory a block is rejected after 60 % of it, so fewer fresh
// pages get touched; a chunk is large enough that checking between chunks costs nothing
// measurable on a block that is read to its end.
constexpr size_t kChunkBytes = 16384;

// The block's contents are whatever the heap held: the point of the effect. Allocation sits
// behind a call the optimiser cannot see through, and the barrier tells it the bytes may
// have been written by anyone, so neither the allocation nor the reads that follow can be
// reasoned away or treated as reads of an unset value.
__attribute__((noinline)) void* AllocateBlock(void* (*allocate)(size_t), size_t bytes) {
  void* block = allocate(bytes);
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

// Usable when fewer than 60 % of the samples are dark (exactly 60 % is not; an empty block
// never is). Settled early either way: once the dark samples reach the limit, or once even an
// all-dark rest would leave them below it.
template <typename Sample, typename Lane, size_t kLanes, typename IsDark>
inline __attribute__((always_inline)) bool IsBlockUsable(const void* block, size_t samples,
                                                         IsDark isDark) {
  constexpr size_t kChunkSamples = kChunkBytes / sizeof(Sample);
  const auto* bytes = static_cast<const unsigned char*>(block);
  const double limit = 0.6 * static_cast<double>(samples);
  size_t dark = 0;
  size_t read = 0;
  while (read < samples) {
    const size_t n = samples - read < kChunkSamples ? samples - read : kChunkSamples;
    dark += CountDark<Sample, Lane, kLanes>(bytes + read * sizeof(Sample), n, isDark);
    read += n;
    if (static_cast<double>(dark) >= limit) return false;
    if (static_cast<double>(dark + (samples - read)) < limit) return true;
  }
  return false;  // no samples: 0 is not below 0
}

PF_Err AllocationFailed(RenderPlan& plan, PF_OutData* out_data) {
  plan.noBlockFound = true;
  std::memcpy(out_data->return_msg, kAllocationFailedMessage, sizeof kAllocationFailedMessage);
  return PF_Err_NONE;
}

// What one block costs the budget: what the heap holds for it and its entry in the list (whose
// storage doubles as it grows, so up to two pointers an entry).
size_t BudgetBytesFor(size_t bytes) {
  constexpr size_t kListEntryBytes = 2 * sizeof(void*);
  const size_t heap = HeapBytesFor(bytes);
  return heap > SIZE_MAX - kListEntryBytes ? SIZE_MAX : heap + kListEntryBytes;
}

// Bytes taken from the budget for a block on its way into the list: given back on every way out
// (a failed allocation, a source that throws) unless the list takes them over.
class Reservation {
 public:
  Reservation(SearchBudget& budget, size_t bytes) : budget_(budget), bytes_(bytes) {}
  ~Reservation() { budget_.Release(bytes_); }
  Reservation(const Reservation&) = delete;
  Reservation& operator=(const Reservation&) = delete;
  size_t Hand() { return std::exchange(bytes_, 0); }

 private:
  SearchBudget& budget_;
  size_t bytes_;
};

template <typename Depth, bool (*IsUsable)(const void*, size_t)>
PF_Err FindMemoryBlock(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                       const PF_InData* in_data, PF_OutData* out_data) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const BlockSearchSetup& setup = list.Setup();
  const size_t samples = bytes / sizeof(typename Depth::Channel);
  const size_t held = BudgetBytesFor(bytes);
  for (;;) {
    // Over budget the search gives up as on a time-out, asking the host first as that does: a
    // render the user cancelled returns the abort code, not a finished card frame.
    if (!setup.budget->TryReserve(held)) {
      plan.noBlockFound = true;
      return in_data->inter.abort(in_data->effect_ref);
    }
    Reservation reservation(*setup.budget, held);
    // The entry's room comes first, so that recording a failed allocation needs no memory.
    if (!list.MakeRoom()) return AllocationFailed(plan, out_data);
    void* block = AllocateBlock(setup.source.allocate, bytes);
    if (block == nullptr) {
      list.Append(nullptr, 0);
      return AllocationFailed(plan, out_data);
    }
    list.Append(block, reservation.Hand());
    if (const PF_Err abort = in_data->inter.abort(in_data->effect_ref)) {
      plan.noBlockFound = true;
      return abort;
    }
    if (IsUsable(block, samples)) return PF_Err_NONE;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    if (elapsed > setup.timeLimitMs) {
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
  for (void* block : blocks_) setup_.source.release(block);
  setup_.budget->Release(heldBytes_);
}

bool MemoryBlockList::MakeRoom() noexcept {
  if (blocks_.size() < blocks_.capacity()) return true;
  try {
    blocks_.reserve(blocks_.empty() ? 16 : blocks_.size() * 2);
    return true;
  } catch (...) {  // bad_alloc, or length_error past the vector's limit
    return false;
  }
}

void MemoryBlockList::Append(void* block, size_t heldBytes) noexcept {
  blocks_.push_back(block);  // within the room MakeRoom made: no allocation, no throw
  heldBytes_ += heldBytes;
}

KELVRIX_SCAN_VARIANTS bool IsBlockUsable8(const void* block, size_t samples) {
  return IsBlockUsable<uint8_t, uint8_t, 256>(block, samples, Depth8::IsDark);
}

KELVRIX_SCAN_VARIANTS bool IsBlockUsable16(const void* block, size_t samples) {
  return IsBlockUsable<uint16_t, uint16_t, 128>(block, samples, Depth16::IsDark);
}

KELVRIX_SCAN_VARIANTS bool IsBlockUsableFloat(const void* block, size_t samples) {
  return IsBlockUsable<float, uint32_t, 64>(block, samples, DepthFloat::IsDark);
}

PF_Err FindMemoryBlock8(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                        const PF_InData* in_data, PF_OutData* out_data) {
  return FindMemoryBlock<Depth8, IsBlockUsable8>(list, bytes, plan, in_data, out_data);
}

PF_Err FindMemoryBlock16(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                         const PF_InData* in_data, PF_OutData* out_data) {
  return FindMemoryBlock<Depth16, IsBlockUsable16>(list, bytes, plan, in_data, out_data);
}

PF_Err FindMemoryBlockFloat(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                            const PF_InData* in_data, PF_OutData* out_data) {
  return FindMemoryBlock<DepthFloat, IsBlockUsableFloat>(list, bytes, plan, in_data, out_data);
}

}  // namespace kelvrix
