// One mutex guards both queues: a chunk is handed over a few thousand times
// per gigabyte, so the lock is never where the time goes.
#include "common/chunk_pipe.h"

#include <utility>

namespace corvexa {

chunk_pipe::chunk_pipe(std::size_t chunk_count, std::size_t chunk_capacity, std::size_t room)
    : chunk_capacity_(chunk_capacity) {
  for (std::size_t i = 0; i < chunk_count; ++i) {
    empty_.push_back({std::make_unique<char[]>(room + chunk_capacity), room, 0});
  }
}

bool chunk_pipe::take_empty(chunk& empty) {
  std::unique_lock lock(mutex_);
  empty_ready_.wait(lock, [this] { return taking_stopped_ || !empty_.empty(); });
  if (taking_stopped_) return false;
  empty = std::move(empty_.front());
  empty_.pop_front();
  empty.size = 0;
  return true;
}

void chunk_pipe::hand_over(chunk filled) {
  {
    std::lock_guard lock(mutex_);
    filled_.push_back(std::move(filled));
  }
  filled_ready_.notify_one();
}

void chunk_pipe::finish_filling() {
  {
    std::lock_guard lock(mutex_);
    filling_finished_ = true;
  }
  filled_ready_.notify_one();
}

bool chunk_pipe::take_filled(chunk& filled) {
  std::unique_lock lock(mutex_);
  filled_ready_.wait(lock, [this] { return filling_finished_ || !filled_.empty(); });
  if (filled_.empty()) return false;
  filled = std::move(filled_.front());
  filled_.pop_front();
  return true;
}

void chunk_pipe::give_back(chunk emptied) {
  {
    std::lock_guard lock(mutex_);
    empty_.push_back(std::move(emptied));
  }
  empty_ready_.notify_one();
}

void chunk_pipe::stop_taking() {
  {
    std::lock_guard lock(mutex_);
    taking_stopped_ = true;
  }
  empty_ready_.notify_one();
}

}  // namespace corvexa
