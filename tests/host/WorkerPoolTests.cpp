#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "host/WorkerPool.h"

using kelvrix::host::WorkerPool;

namespace {
const std::function<bool()> kNeverStop = [] { return false; };
}

TEST(WorkerPool, RunsEveryItemExactlyOnceInAShuffledOrderOnSeveralThreads) {
  WorkerPool pool(4);
  std::vector<std::atomic<int>> runs(2000);
  std::mutex mutex;
  std::vector<A_long> order;
  std::set<A_long> threads;
  const PF_Err err = pool.Run(
      2000,
      [&](A_long thread, A_long i) {
        runs[static_cast<size_t>(i)]++;
        std::lock_guard<std::mutex> lock(mutex);
        order.push_back(i);
        threads.insert(thread);
        return PF_Err_NONE;
      },
      kNeverStop, PF_Interrupt_CANCEL);
  EXPECT_EQ(err, PF_Err_NONE);
  for (auto& n : runs) EXPECT_EQ(n.load(), 1);
  EXPECT_FALSE(std::is_sorted(order.begin(), order.end()));
  for (A_long t : threads) EXPECT_LT(t, 4);
  for (A_long none : {0, -5}) {
    EXPECT_EQ(pool.Run(
                  none, [](A_long, A_long) -> PF_Err { return 1; }, kNeverStop, 2),
              0);
  }
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
  const auto count = [&](A_long, A_long) -> PF_Err {
    ++ran;
    return PF_Err_NONE;
  };
  EXPECT_EQ(pool.Run(
                1000, count, [&] { return ++polls > 10; }, PF_Interrupt_CANCEL),
            PF_Interrupt_CANCEL);
  EXPECT_LE(ran.load(), 10);
}

TEST(WorkerPool, ServesRunsFromSeveralThreadsAtOnce) {
  WorkerPool pool(3);
  std::atomic<long> total{0};
  std::vector<std::thread> callers;
  for (int c = 0; c < 6; ++c) {
    callers.emplace_back([&] {
      for (int r = 0; r < 20; ++r) {
        EXPECT_EQ(pool.Run(
                      100,
                      [&](A_long, A_long i) {
                        total += i;
                        return PF_Err_NONE;
                      },
                      kNeverStop, PF_Interrupt_CANCEL),
                  PF_Err_NONE);
      }
    });
  }
  for (auto& caller : callers) caller.join();
  EXPECT_EQ(total.load(), 6L * 20L * 4950L);
}
