// Workers claim the next task with an atomic counter and park each result
// in its slot; the calling thread takes the slots in order.
#include "tree/ordered_workers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace corvexa {

void run_in_order(const ordered_work& work) {
  std::vector<std::optional<task_result>> slots(work.count);
  std::mutex lock;
  std::condition_variable finished;
  std::atomic<std::size_t> next_task = 0;
  std::size_t done = 0;  // guarded by lock

  auto worker = [&] {
    for (;;) {
      std::size_t index = next_task.fetch_add(1);
      if (index >= work.count) return;
      task_result result = work.run(index);
      std::lock_guard<std::mutex> guard(lock);
      slots[index] = std::move(result);
      ++done;
      finished.notify_one();
    }
  };
  std::vector<std::jthread> workers;
  unsigned jobs = work.jobs == 0 ? 1 : work.jobs;
  for (unsigned i = 0; i < jobs && i < work.count; ++i) workers.emplace_back(worker);

  for (std::size_t index = 0; index < work.count; ++index) {
    std::unique_lock<std::mutex> guard(lock);
    while (!slots[index]) {
      finished.wait_for(guard, std::chrono::milliseconds(100));
      std::size_t done_so_far = done;
      guard.unlock();
      if (work.waiting) work.waiting(done_so_far);
      guard.lock();
    }
    task_result result = std::move(*slots[index]);
    slots[index].reset();
    std::size_t done_so_far = done;
    guard.unlock();
    work.take(index, std::move(result));
    if (work.waiting) work.waiting(done_so_far);
  }
}

}  // namespace corvexa
