// Each round hands its tasks to ordered workers: the tables of the .sql
// files first, then the other files, then the .sql files converted; the
// reports are merged by path at the end, so the report never depends on
// the order in which the rounds ran.
#include "tree/entry_processing.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <thread>

#include "common/byte_streams.h"
#include "common/descriptor.h"
#include "schema/mysql_sql_conversion.h"
#include "translate/complete_calls.h"
#include "translate/mysql_call_table.h"
#include "tree/file_task.h"
#include "tree/ordered_workers.h"
#include "tree/progress_line.h"
#include "tree/query_wrapper_pass.h"
#include "tree/report_output.h"

namespace corvexa {
namespace {

constexpr int standard_output = 1;

unsigned worker_count(const tree_options& options) {
  if (options.jobs > 0) return options.jobs;
  unsigned processors = std::thread::hardware_concurrency();
  return processors > 0 ? processors : 1;
}

bool is_sql_file(const tree_entry& entry, const tree_options& options) {
  return entry.type == entry_type::regular_file &&
         has_extension(entry.path, options.sql_extensions) &&
         !has_extension(entry.path, options.php_extensions);
}

// Adds the tables of `more` to `model`.
void add_tables(sql::schema_model& model, const sql::schema_model& more) {
  for (const auto& [name, table] : more.tables()) model.add(table);
}

// The tables the code creates, known by name where the schema lacks them.
void add_created_tables(sql::schema_model& model, const std::set<std::string>& names) {
  for (const std::string& name : names) {
    if (model.table(name) == nullptr) model.add_name_only(name);
  }
}

}  // namespace

std::string read_schema_file(const std::string& path, sql::schema_model& model) {
  descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.is_open()) {
    return "cannot read the schema file " + path + ": " + std::strerror(errno);
  }
  fd_reader reader(file.get());
  schema::sql_conversion_result result = schema::read_schema_model(reader);
  if (result.read_failed)
    return "cannot read the schema file " + path + ": " + std::strerror(errno);
  add_tables(model, result.model);
  return {};
}

namespace {

// One round of tasks on the workers, its reports added to `files`.
class round_runner {
 public:
  round_runner(const tree_options& options, const std::vector<tree_entry>& entries,
               processed_entries& result, progress_line& progress, std::size_t total)
      : options_(options), entries_(entries), result_(result), progress_(progress), total_(total) {}

  // Runs `tasks` (indexes into the entries) with `context`; the tables of
  // .sql files go to `model` when it is given, the reports to the result
  // when `keep_reports`.
  void run(const std::vector<std::size_t>& tasks, const task_context& context,
           sql::schema_model* model, bool keep_reports) {
    fd_writer diff_output(standard_output);
    ordered_work work;
    work.count = tasks.size();
    work.jobs = worker_count(options_);
    work.run = [&](std::size_t index) { return run_file_task(context, entries_[tasks[index]]); };
    work.take = [&](std::size_t, task_result&& task) {
      if (!task.diff.empty() && !result_.output_failed) {
        progress_.clear();
        result_.output_failed = !diff_output.write_all(task.diff);
      }
      if (model != nullptr) add_tables(*model, task.model);
      if (keep_reports) result_.files.push_back(std::move(task.report));
    };
    std::size_t before = done_;
    work.waiting = [&](std::size_t done) { progress_.show(before + done, total_); };
    run_in_order(work);
    done_ += tasks.size();
  }

 private:
  const tree_options& options_;
  const std::vector<tree_entry>& entries_;
  processed_entries& result_;
  progress_line& progress_;
  std::size_t total_;
  std::size_t done_ = 0;
};

}  // namespace

processed_entries process_entries(const tree_options& options,
                                  const std::vector<tree_entry>& entries,
                                  const std::unordered_set<std::string>& failed_folders,
                                  folder_opener& source, folder_opener* output,
                                  sql::schema_model model, const sql::statement_judge* against) {
  processed_entries result;
  std::vector<std::size_t> sql_tasks, other_tasks;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].type == entry_type::folder) continue;
    (is_sql_file(entries[i], options) ? sql_tasks : other_tasks).push_back(i);
  }
  const table_settings settings{options.database_name};
  const call_table complete = make_complete_call_table(settings);
  const call_table seed =
      options.rules == rule_set::seed ? make_mysql_call_table(settings) : call_table();
  const call_table& calls = options.rules == rule_set::seed ? seed : complete;

  const tree_query_clues clues =
      find_tree_query_clues(options, entries, source, worker_count(options));
  const sql::wrapper_table& wrappers = clues.wrappers;
  progress_line progress(options.progress);
  round_runner rounds(options, entries, result, progress,
                      2 * sql_tasks.size() + other_tasks.size());
  rounds.run(sql_tasks,
             {options, calls, complete, nullptr, failed_folders, source, output, nullptr, true},
             &model, /*keep_reports=*/false);
  const sql::schema_model* schema = model.empty() ? nullptr : &model;
  if (schema != nullptr) add_created_tables(model, clues.created_tables);
  rounds.run(other_tasks,
             {options, calls, complete, schema, failed_folders, source, output, &wrappers, false,
              nullptr, against},
             nullptr, /*keep_reports=*/true);
  // The .sql files last: those that create tables create the extensions
  // that the PHP files' queries turned out to need.
  std::set<std::string> extensions;
  for (const file_report& file : result.files) {
    extensions.insert(file.extensions.begin(), file.extensions.end());
  }
  rounds.run(sql_tasks,
             {options, calls, complete, schema, failed_folders, source, output, &wrappers, false,
              &extensions, against},
             nullptr, /*keep_reports=*/true);
  progress.clear();
  if (result.output_failed) {
    diagnose(std::string("could not write the diff: ") + std::strerror(errno));
  }
  std::stable_sort(result.files.begin(), result.files.end(),
                   [](const file_report& a, const file_report& b) { return a.path < b.path; });
  return result;
}

}  // namespace corvexa
