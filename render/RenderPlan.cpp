#include "render/RenderPlan.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace kelvrix {
namespace {

std::atomic<void* (*)(size_t)> gAllocatePlan{std::malloc};

bool IsEmpty(const PF_LRect& r) { return r.left >= r.right || r.top >= r.bottom; }

}  // namespace

RenderPlan* NewPlan() {
  void* memory = gAllocatePlan.load(std::memory_order_relaxed)(sizeof(RenderPlan));
  return memory == nullptr ? nullptr : new (memory) RenderPlan;
}

void FreePlan(void* plan) {
  if (plan == nullptr) return;
  static_cast<RenderPlan*>(plan)->~RenderPlan();
  std::free(plan);
}

void UnionRect(const PF_LRect& src, PF_LRect& dst) {
  if (IsEmpty(dst)) {
    dst = src;
  } else if (!IsEmpty(src)) {
    dst.left = std::min(dst.left, src.left);
    dst.top = std::min(dst.top, src.top);
    dst.right = std::max(dst.right, src.right);
    dst.bottom = std::max(dst.bottom, src.bottom);
  }
}

ScopedPlanAllocatorForTesting::ScopedPlanAllocatorForTesting(void* (*allocate)(size_t))
    : previous_(gAllocatePlan.exchange(allocate)) {}

ScopedPlanAllocatorForTesting::~ScopedPlanAllocatorForTesting() { gAllocatePlan = previous_; }

}  // namespace kelvrix
