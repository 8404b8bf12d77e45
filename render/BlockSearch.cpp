#include "render/BlockSearch.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

#include "render/BlockScan.h"
#include "render/PixelTraits.h"

namespace kelvrix {
namespace {

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
