// An edition whose host wants the output in its own layout converts each output row where it
// lies, once: as the core's last pixel pass over the row finishes it (while it is in cache),
// then, for a finished frame, the rows no pass wrote. A row converted twice would be garbage,
// and a row of a frame that did not finish is never handed on as if it had.
#pragma once

#include <cstdint>
#include <vector>

#include "edition/EditionFrame.h"

namespace kelvrix::edition {

class OutputRowsOnce {
 public:
  // Converts row `row` (0 .. rows - 1) of the host's output; `thread` as RowBody's.
  using Convert = PF_Err (*)(void* context, A_long thread, A_long row);

  OutputRowsOnce(Convert convert, void* context) : convert_(convert), context_(context) {}

  // Rows 0 .. rows - 1, none converted yet. PF_Err_OUT_OF_MEMORY when they cannot be counted.
  PF_Err Reset(A_long rows);

  // A pass finished `row`: it is converted now. A second time is PF_Err_INTERNAL_STRUCT_DAMAGED
  // and leaves the row as it is; a row out of range is ignored (not the host's).
  PF_Err Finished(A_long thread, A_long row);

  // After a frame the core finished: the rows not converted yet, with `runner`. Nothing to do
  // (the rule) wakes no thread.
  PF_Err ConvertRest(const RowRunner& runner);

  bool AllConverted() const;

 private:
  static PF_Err RestRow(void* self, A_long thread, A_long row);

  Convert convert_;
  void* context_;
  std::vector<uint8_t> done_;  // per row; each written by the one thread that finished it
};

}  // namespace kelvrix::edition
