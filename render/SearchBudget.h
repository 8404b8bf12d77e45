// The bytes that all running block searches hold together, bounded for the whole process.
// Rejected blocks stay allocated until their fill ends, so that the heap hands out other
// memory; on fresh memory that is a block per attempt for two seconds, per frame, and with
// threaded rendering several frames search at once. Without a bound that can cost the host
// gigabytes of committed and touched memory, and running a host out of memory loses the
// user's unsaved work.
#pragma once

#include <atomic>
#include <cstddef>

namespace kelvrix {

constexpr size_t kSearchBudgetBytes = size_t{512} << 20;  // 512 MiB, all searches together

class SearchBudget {
 public:
  explicit SearchBudget(size_t limitBytes) : limitBytes_(limitBytes) {}
  SearchBudget(const SearchBudget&) = delete;
  SearchBudget& operator=(const SearchBudget&) = delete;

  // Adds `bytes` to the total unless that would take it past the limit.
  bool TryReserve(size_t bytes);
  void Release(size_t bytes);
  size_t HeldBytes() const { return heldBytes_.load(std::memory_order_relaxed); }
  size_t LimitBytes() const { return limitBytes_; }

  // The budget every render's search shares: kSearchBudgetBytes.
  static SearchBudget& Process();

 private:
  const size_t limitBytes_;
  std::atomic<size_t> heldBytes_{0};
};

}  // namespace kelvrix
