// The search for a heap block worth showing: blocks of the fill's size are allocated one
// after another until one has fewer than 60 % dark samples, the host asks to stop, an
// allocation fails, or the time limit (2000 ms) has passed.
#pragma once

#include <cstddef>
#include <vector>

#include "hostapi/HostApi.h"
#include "render/RenderPlan.h"

namespace kelvrix {

// Every block one search allocated, in order, including a trailing null when an allocation
// failed. The list owns them: all are freed when it goes, on every way out of the fill.
class MemoryBlockList {
 public:
  MemoryBlockList() = default;
  ~MemoryBlockList();
  MemoryBlockList(const MemoryBlockList&) = delete;
  MemoryBlockList& operator=(const MemoryBlockList&) = delete;

  // Takes ownership; a block that cannot be recorded is freed before the error propagates.
  void Append(void* block);
  void* Last() const { return blocks_.empty() ? nullptr : blocks_.back(); }
  size_t Count() const { return blocks_.size(); }
  const std::vector<void*>& Blocks() const { return blocks_; }

 private:
  std::vector<void*> blocks_;
};

// Each returns 0, or the non-zero code of the host's abort check. noBlockFound is set on
// every way out but acceptance. `bytes` is the block size; trailing bytes shorter than one
// sample are not read.
PF_Err FindMemoryBlock8(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                        const PF_InData* in_data, PF_OutData* out_data);
PF_Err FindMemoryBlock16(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                         const PF_InData* in_data, PF_OutData* out_data);
PF_Err FindMemoryBlockFloat(MemoryBlockList& list, size_t bytes, RenderPlan& plan,
                            const PF_InData* in_data, PF_OutData* out_data);

// Dark samples among the first `samples` samples at `block` (8-bit, 16-bit and float).
size_t CountDark8(const void* block, size_t samples);
size_t CountDark16(const void* block, size_t samples);
size_t CountDarkFloat(const void* block, size_t samples);

constexpr char kAllocationFailedMessage[] =
    "kelvrix failed to allocate a block of memory. Please report this on skarnhold.";

// Test seams. The time limit in milliseconds (negative restores 2000), and where blocks
// come from (null restores malloc; blocks are released with free).
void SetSearchTimeLimitForTesting(int milliseconds);
void SetBlockAllocatorForTesting(void* (*allocate)(size_t));

}  // namespace kelvrix
