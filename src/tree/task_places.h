// What the tasks of a run share: where an entry is read from and written
// to, and how a failure marks its report.
#pragma once

#include <string>

#include "tree/file_io.h"
#include "tree/file_task.h"

namespace corvexa {

// Marks the file as failed when `error` says something went wrong. A file
// that was not written has no converted calls and no findings to show.
void note_failure(task_result& result, io_error error);

// The folder of an entry, open, and the entry's own name in it.
struct place {
  shared_folder folder;
  std::string name;
};

io_error find_source(const task_context& context, const tree_entry& entry, place& found);
io_error find_output(const task_context& context, const tree_entry& entry, place& found);

}  // namespace corvexa
