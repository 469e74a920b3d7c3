// Runs numbered tasks on worker threads and hands their results to the
// calling thread in task order, whatever order they finish in: what a run
// prints never depends on scheduling. Results wait only until every task
// before them is done, so memory holds a few results, not all of them.
#pragma once

#include <cstddef>
#include <functional>

#include "tree/file_task.h"

namespace corvexa {

struct ordered_work {
  std::size_t count = 0;
  unsigned jobs = 1;
  // Runs task `index` on a worker thread; must not throw.
  std::function<task_result(std::size_t index)> run;
  // Takes the result of task `index` on the calling thread, in order.
  std::function<void(std::size_t index, task_result&& result)> take;
  // Called on the calling thread now and then while tasks run.
  std::function<void(std::size_t done)> waiting;
};

void run_in_order(const ordered_work& work);

}  // namespace corvexa
