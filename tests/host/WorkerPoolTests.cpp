#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "host/WorkerPool.h"

using kelvrix::host::WorkerPool;

namespace {
const std::function<bool()> kNeverStop = [] { return false; };
}

// Several callers at once: each run hands every item to one of the pool's threads exactly once,
// in a shuffled order; no items, no calls.
TEST(WorkerPool, RunsEveryItemExactlyOnceInAShuffledOrderForSeveralCallers) {
  WorkerPool pool(4);
  std::vector<std::thread> callers;
  for (int c = 0; c < 3; ++c) {
    callers.emplace_back([&pool] {
      std::vector<std::atomic<int>> runs(2000);
      std::mutex mutex;
      std::vector<A_long> order;
      const auto run = [&](A_long thread, A_long i) -> PF_Err {
        runs[static_cast<size_t>(i)]++;
        std::lock_guard<std::mutex> lock(mutex);
        order.push_back(i);
        return thread >= 0 && thread < 4 ? PF_Err_NONE : 1;
      };
      EXPECT_EQ(pool.Run(2000, run, kNeverStop, PF_Interrupt_CANCEL), PF_Err_NONE);
      for (auto& n : runs) EXPECT_EQ(n.load(), 1);
      EXPECT_FALSE(std::is_sorted(order.begin(), order.end()));
      EXPECT_EQ(pool.Run(-5, run, kNeverStop, 2), PF_Err_NONE);
      EXPECT_EQ(order.size(), 2000u);
    });
  }
  for (auto& caller : callers) caller.join();
}

// The first error, or a stop request with its code, ends the run before the items not yet
// started.
TEST(WorkerPool, AnErrorOrAStopRequestEndsTheRunEarly) {
  WorkerPool pool(3);
  std::atomic<int> ran{0}, polls{0};
  const auto failAtFive = [&](A_long, A_long i) -> PF_Err {
    ++ran;
    return i == 5 ? 1234 : PF_Err_NONE;
  };
  EXPECT_EQ(pool.Run(10000, failAtFive, kNeverStop, PF_Interrupt_CANCEL), 1234);
  EXPECT_LT(ran.load(), 10000);
  ran = 0;
  const auto stopAfterTen = [&] { return ++polls > 10; };
  const auto count = [&](A_long, A_long) -> PF_Err { return ++ran > 0 ? PF_Err_NONE : 1; };
  EXPECT_EQ(pool.Run(1000, count, stopAfterTen, PF_Interrupt_CANCEL), PF_Interrupt_CANCEL);
  EXPECT_LE(ran.load(), 10);
}
