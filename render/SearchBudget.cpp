#include "render/SearchBudget.h"

namespace kelvrix {

bool SearchBudget::TryReserve(size_t bytes) {
  size_t held = heldBytes_.load(std::memory_order_relaxed);
  do {
    if (bytes > limitBytes_ || held > limitBytes_ - bytes) return false;
  } while (!heldBytes_.compare_exchange_weak(held, held + bytes, std::memory_order_relaxed));
  return true;
}

void SearchBudget::Release(size_t bytes) { heldBytes_.fetch_sub(bytes, std::memory_order_relaxed); }

SearchBudget& SearchBudget::Process() {
  static SearchBudget budget(kSearchBudgetBytes);
  return budget;
}

}  // namespace kelvrix
