// Each worker merges the clues of the files it takes into its own; the
// clues are small (the definitions' names, the parameters that reach a
// call, the names of created tables), and no file's text outlives its
// turn. The clues of all workers are resolved together at the end.
#include "tree/query_wrapper_pass.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "sql/created_tables.h"
#include "sql/php_code.h"
#include "sql/wrapper_clues.h"
#include "tree/file_io.h"
#include "tree/file_task.h"
#include "tree/relative_path.h"

namespace corvexa {
namespace {

struct file_clues {
  sql::wrapper_clues wrappers;
  std::set<std::string> created_tables;
};

void add_clues_of_file(folder_opener& tree, const std::string& path, file_clues& clues) {
  shared_folder folder;
  if (!tree.open(folder_part(path), folder).empty()) return;
  read_file source;
  if (!read_regular_file(folder->get(), name_part(path), source).empty()) return;
  // One cut into tokens serves both searches.
  bool functions = sql::may_define_functions(source.bytes);
  if (!functions && !sql::may_create_tables(source.bytes)) return;
  sql::php_code code(source.bytes);
  if (functions) clues.wrappers.merge(sql::gather_wrapper_clues(code));
  sql::gather_created_tables(code, clues.created_tables);
}

}  // namespace

tree_query_clues find_tree_query_clues(const tree_options& options,
                                       const std::vector<tree_entry>& entries,
                                       folder_opener& source, unsigned jobs) {
  std::vector<std::string> paths;
  for (const tree_entry& entry : entries) {
    if (entry.type == entry_type::regular_file &&
        has_extension(entry.path, options.php_extensions)) {
      paths.push_back(entry.path);
    }
  }
  if (jobs == 0) jobs = 1;
  std::vector<file_clues> found(jobs);
  std::atomic<std::size_t> next_file = 0;
  auto work = [&](file_clues& mine) {
    for (std::size_t index; (index = next_file.fetch_add(1)) < paths.size();) {
      try {
        add_clues_of_file(source, paths[index], mine);
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
  for (unsigned i = 1; i < jobs; ++i) {
    found[0].wrappers.merge(std::move(found[i].wrappers));
    found[0].created_tables.merge(found[i].created_tables);
  }
  return {sql::wrapper_table(sql::resolve_query_wrappers(found[0].wrappers)),
          std::move(found[0].created_tables)};
}

}  // namespace corvexa
