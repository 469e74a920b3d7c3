// Folders are opened through the run's folder openers, never by path.
#include "tree/task_places.h"

#include <utility>

#include "tree/relative_path.h"

namespace corvexa {

void note_failure(task_result& result, io_error error) {
  if (error.empty()) return;
  result.report.kind = file_kind::failed;
  result.report.problem = std::move(error);
  result.report.calls_converted.clear();
  result.report.findings.clear();
}

namespace {

io_error find_place(folder_opener& folders, const tree_entry& entry, const char* failure,
                    place& found) {
  found.name = name_part(entry.path);
  std::string problem = folders.open(folder_part(entry.path), found.folder);
  return problem.empty() ? problem : failure + problem;
}

}  // namespace

io_error find_source(const task_context& context, const tree_entry& entry, place& found) {
  return find_place(context.source, entry, "could not read: ", found);
}

io_error find_output(const task_context& context, const tree_entry& entry, place& found) {
  return find_place(*context.output, entry, "could not write: ", found);
}

}  // namespace corvexa
