#include "host/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <random>

namespace kelvrix::host {

struct WorkerPool::Job {
  std::vector<A_long> order;
  const std::function<PF_Err(A_long, A_long)>* body;
  const std::function<bool()>* shouldStop;
  PF_Err stopCode;
  std::atomic<size_t> next{0};
  std::atomic<PF_Err> result{PF_Err_NONE};
  std::mutex doneMutex;
  std::condition_variable done;
  unsigned participantsLeft = 0;  // guarded by doneMutex
};

WorkerPool::WorkerPool(unsigned threads) {
  if (threads == 0) threads = 1;
  for (unsigned i = 0; i < threads; ++i) {
    workers_.emplace_back([this, i] { WorkerLoop(static_cast<A_long>(i)); });
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& worker : workers_) worker.join();
}

PF_Err WorkerPool::Run(A_long count, const std::function<PF_Err(A_long, A_long)>& body,
                       const std::function<bool()>& shouldStop, PF_Err stopCode) {
  if (count <= 0) return PF_Err_NONE;
  // Shared with the workers, so the job (its mutex and condition included) lives until every
  // worker has let go of it, not only until Run returns.
  auto shared = std::make_shared<Job>();
  Job& job = *shared;
  job.order.resize(static_cast<size_t>(count));
  std::iota(job.order.begin(), job.order.end(), 0);
  job.body = &body;
  job.shouldStop = &shouldStop;
  job.stopCode = stopCode;
  const unsigned participants = std::min<unsigned>(Threads(), static_cast<unsigned>(count));
  job.participantsLeft = participants;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::mt19937_64 shuffle(nextSeed_++);
    std::shuffle(job.order.begin(), job.order.end(), shuffle);
    for (unsigned i = 0; i < participants; ++i) queue_.push_back(shared);
  }
  wake_.notify_all();
  std::unique_lock<std::mutex> lock(job.doneMutex);
  job.done.wait(lock, [&job] { return job.participantsLeft == 0; });
  return job.result.load();
}

void WorkerPool::Participate(Job& job, A_long threadIndex) {
  for (;;) {
    if (job.result.load() != PF_Err_NONE) break;
    const size_t slot = job.next.fetch_add(1);
    if (slot >= job.order.size()) break;
    PF_Err err = (*job.shouldStop)() ? job.stopCode : (*job.body)(threadIndex, job.order[slot]);
    if (err != PF_Err_NONE) {
      PF_Err none = PF_Err_NONE;
      job.result.compare_exchange_strong(none, err);
      break;
    }
  }
  std::lock_guard<std::mutex> lock(job.doneMutex);
  if (--job.participantsLeft == 0) job.done.notify_all();
}

void WorkerPool::WorkerLoop(A_long threadIndex) {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    Participate(*job, threadIndex);
  }
}

}  // namespace kelvrix::host
