#include "edition/OutputRowsOnce.h"

#include <algorithm>
#include <new>

namespace kelvrix::edition {

PF_Err OutputRowsOnce::Reset(A_long rows) {
  try {
    done_.assign(static_cast<size_t>(std::max<A_long>(rows, 0)), 0);
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  }
  return PF_Err_NONE;
}

PF_Err OutputRowsOnce::Finished(A_long thread, A_long row) {
  if (row < 0 || static_cast<size_t>(row) >= done_.size()) return PF_Err_NONE;
  uint8_t& done = done_[static_cast<size_t>(row)];
  if (done != 0) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  done = 1;
  return convert_(context_, thread, row);
}

bool OutputRowsOnce::AllConverted() const {
  return std::find(done_.begin(), done_.end(), 0) == done_.end();
}

PF_Err OutputRowsOnce::RestRow(void* self, A_long thread, A_long row) {
  auto& rows = *static_cast<OutputRowsOnce*>(self);
  return rows.done_[static_cast<size_t>(row)] != 0 ? PF_Err_NONE : rows.Finished(thread, row);
}

PF_Err OutputRowsOnce::ConvertRest(const RowRunner& runner) {
  if (AllConverted()) return PF_Err_NONE;
  return RunRows(runner, static_cast<A_long>(done_.size()), RestRow, this);
}

}  // namespace kelvrix::edition
