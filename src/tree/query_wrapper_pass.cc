// Each worker merges the clues of the files it takes into its own; the
// clues are small (the definitions' names and the parameters that reach a
// call), and no file's text outlives its turn. The clues of all workers
// are resolved together at the end.
#include "tree/query_wrapper_pass.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "sql/wrapper_clues.h"
#include "tree/file_io.h"
#include "tree/file_task.h"
#include "tree/relative_path.h"

namespace corvexa {
namespace {

sql::wrapper_clues clues_of_file(folder_opener& tree, const std::string& path) {
  shared_folder folder;
  if (!tree.open(folder_part(path), folder).empty()) return {};
  read_file source;
  if (!read_regular_file(folder->get(), name_part(path), source).empty()) return {};
  return sql::gather_wrapper_clues(source.bytes);
}

}  // namespace

sql::wrapper_table find_tree_wrappers(const tree_options& options,
                                      const std::vector<tree_entry>& entries, folder_opener& source,
                                      unsigned jobs) {
  std::vector<std::string> paths;
  for (const tree_entry& entry : entries) {
    if (entry.type == entry_type::regular_file &&
        has_extension(entry.path, options.php_extensions)) {
      paths.push_back(entry.path);
    }
  }
  if (jobs == 0) jobs = 1;
  std::vector<sql::wrapper_clues> found(jobs);
  std::atomic<std::size_t> next_file = 0;
  auto work = [&](sql::wrapper_clues& mine) {
    for (std::size_t index; (index = next_file.fetch_add(1)) < paths.size();) {
      try {
        mine.merge(clues_of_file(source, paths[index]));
      } catch (const std::exception&) {
        // Out of memory on one file: it gives no wrappers, and its
        // conversion reports the failure.
      }
    }
  };
  {
    std::vector<std::jthread> helpers;
    try {
      for (unsigned i = 1; i < jobs && i < paths.size(); ++i) {
        helpers.emplace_back(work, std::ref(found[i]));
      }
    } catch (const std::system_error&) {
      // Fewer threads than asked for: those that started share the work.
    }
    work(found[0]);
  }
  for (unsigned i = 1; i < jobs; ++i) found[0].merge(std::move(found[i]));
  return sql::wrapper_table(sql::resolve_query_wrappers(found[0]));
}

}  // namespace corvexa
