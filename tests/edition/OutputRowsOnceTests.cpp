// Each output row is converted once: when a pass finishes it, or after a finished frame when
// none did; never twice, never a row that is not the host's.
#include <gtest/gtest.h>

#include <vector>

#include "edition/OutputRowsOnce.h"

using kelvrix::edition::OutputRowsOnce;
using kelvrix::edition::RowRunner;

namespace {

struct Conversions {
  std::vector<int> perRow;
  static PF_Err Convert(void* self, A_long, A_long row) {
    ++static_cast<Conversions*>(self)->perRow.at(static_cast<size_t>(row));
    return PF_Err_NONE;
  }
};

TEST(OutputRowsOnce, FinishedRowsAreConvertedAtOnceTheRestAfterAndNoneTwice) {
  const struct {
    std::vector<A_long> finished;  // in the order passes finish them
    PF_Err lastFinish;
  } cases[] = {{{}, PF_Err_NONE},
               {{0, 1, 2, 3, 4, 5}, PF_Err_NONE},
               {{5, 2}, PF_Err_NONE},
               {{-1, 6, 600, 3}, PF_Err_NONE},  // rows that are not the host's are ignored
               {{2, 4, 2}, PF_Err_INTERNAL_STRUCT_DAMAGED}};
  for (const auto& c : cases) {
    Conversions conversions{std::vector<int>(6, 0)};
    OutputRowsOnce rows(Conversions::Convert, &conversions);
    ASSERT_EQ(rows.Reset(6), PF_Err_NONE);
    PF_Err last = PF_Err_NONE;
    for (const A_long row : c.finished) last = rows.Finished(0, row);
    EXPECT_EQ(last, c.lastFinish);
    for (const A_long row : c.finished) {
      if (row >= 0 && row < 6) {
        EXPECT_EQ(conversions.perRow[static_cast<size_t>(row)], 1) << row;
      }
    }
    EXPECT_EQ(rows.AllConverted(), c.finished.size() == 6);
    EXPECT_EQ(rows.ConvertRest(RowRunner{}), PF_Err_NONE);
    EXPECT_EQ(conversions.perRow, std::vector<int>(6, 1));
    EXPECT_TRUE(rows.AllConverted());
  }
}

// The rest goes through the edition's runner, and only when a row is left.
TEST(OutputRowsOnce, TheRestRunsOnTheRunnerOnlyWhenARowIsLeft) {
  static int runs = 0;
  const auto runner = [](void*, A_long count, kelvrix::edition::RowBody body,
                         void* context) -> PF_Err {
    ++runs;
    for (A_long row = count - 1; row >= 0; --row) {
      if (const PF_Err err = body(context, 1, row)) return err;
    }
    return PF_Err_NONE;
  };
  Conversions conversions{std::vector<int>(4, 0)};
  OutputRowsOnce rows(Conversions::Convert, &conversions);
  ASSERT_EQ(rows.Reset(4), PF_Err_NONE);
  rows.Finished(0, 1);
  EXPECT_EQ(rows.ConvertRest(RowRunner{runner, nullptr}), PF_Err_NONE);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(conversions.perRow, std::vector<int>(4, 1));
  EXPECT_EQ(rows.ConvertRest(RowRunner{runner, nullptr}), PF_Err_NONE);
  EXPECT_EQ(runs, 1);
}

}  // namespace
