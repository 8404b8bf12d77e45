// The search for a heap block worth showing: blocks of the fill's size are allocated one
// after another until one has fewer than 60 % dark samples, the host asks to stop, an
// allocation fails, the time limit (2000 ms) has passed, or the next block would take the
// bytes all searches hold past their budget.
#pragma once

#include <cstddef>
#include <vector>

#include "hostapi/HostApi.h"
#include "render/BlockScan.h"
#include "render/BlockSearchSetup.h"
#include "render/RenderPlan.h"

namespace kelvrix {

// Every block one search allocated, in order, including a trailing null when an allocation
// failed (unless the list itself could not grow), and nothing when the budget was already
// spent. The list owns them: all go back to the setup's source, and their bytes to its
// budget, when it goes, on every way out of the fill.
class MemoryBlockList {
 public:
  explicit MemoryBlockList(const BlockSearchSetup& setup) : setup_(setup) {}
  ~MemoryBlockList();
  MemoryBlockList(const MemoryBlockList&) = delete;
  MemoryBlockList& operator=(const MemoryBlockList&) = delete;

  const BlockSearchSetup& Setup() const { return setup_; }
  // Makes sure one more entry fits without allocating; false when the list cannot grow.
  bool MakeRoom() noexcept;
  // Records a block (null for a failed allocation) that holds `heldBytes` of the budget.
  // Needs the room MakeRoom made.
  void Append(void* block, size_t heldBytes) noexcept;

  void* Last() const { return blocks_.empty() ? nullptr : blocks_.back(); }
  size_t Count() const { return blocks_.size(); }
  const std::vector<void*>& Blocks() const { return blocks_; }
  size_t HeldBytes() const { return heldBytes_; }

 private:
  BlockSearchSetup setup_;
  std::vector<void*> blocks_;
  size_t heldBytes_ = 0;
};

// Each returns 0, or the non-zero code of the host's abort check. noBlockFound is set on
// every way out but acceptance. `bytes` is the block size; trailing bytes shorter than one
// sample are not read. The list's setup says where blocks come from and what limits hold.
PF_Err FindMemoryBlock8(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                        const PF_InData* in_data, PF_OutData* out_data);
PF_Err FindMemoryBlock16(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                         const PF_InData* in_data, PF_OutData* out_data);
PF_Err FindMemoryBlockFloat(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                            const PF_InData* in_data, PF_OutData* out_data);

constexpr char kAllocationFailedMessage[] =
    "kelvrix failed to allocate a block of memory. Please report this on skarnhold.";

}  // namespace kelvrix
