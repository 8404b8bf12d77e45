// The host's render threads for the iterate suites. Work items run on real worker threads
// in a shuffled order, so row-order assumptions and data races in callbacks show up.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "hostapi/HostApi.h"

namespace kelvrix::host {

class WorkerPool {
 public:
  explicit WorkerPool(unsigned threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned Threads() const { return static_cast<unsigned>(workers_.size()); }

  // Runs body(threadIndex, i) once for every i in [0, count), shuffled, across the workers,
  // and returns when every started item has finished. The first non-zero result stops
  // the items not yet started and is returned; so does stopCode once shouldStop() is true
  // (polled before each item). Safe to call from several threads at once.
  PF_Err Run(A_long count, const std::function<PF_Err(A_long threadIndex, A_long i)>& body,
             const std::function<bool()>& shouldStop, PF_Err stopCode);

 private:
  struct Job;
  void WorkerLoop(A_long threadIndex);
  static void Participate(Job& job, A_long threadIndex);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<Job>> queue_;
  bool stopping_ = false;
  uint64_t nextSeed_ = 0x9E3779B97F4A7C15ull;
  std::vector<std::thread> workers_;
};

}  // namespace kelvrix::host
