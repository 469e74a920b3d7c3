// The steps of a run, in order: folder checks, the walk, the output
// folders, the files in parallel, the folders' permissions, the report.
#include "tree/tree_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "common/byte_streams.h"
#include "report/json_report.h"
#include "report/printable.h"
#include "report/sarif_report.h"
#include "report/text_report.h"
#include "translate/complete_calls.h"
#include "translate/mysql_call_table.h"
#include "tree/file_task.h"
#include "tree/folder_checks.h"
#include "tree/join_path.h"
#include "tree/ordered_workers.h"
#include "tree/progress_line.h"
#include "tree/query_wrapper_pass.h"
#include "tree/source_walk.h"

#ifndef CORVEXA_VERSION
#define CORVEXA_VERSION "unknown"
#endif

namespace corvexa {
namespace {

constexpr int standard_output = 1;
constexpr int standard_error = 2;

void diagnose(const std::string& message) {
  fd_writer(standard_error).write_all("corvexa-tree: " + printable(message) + "\n");
}

// Why the output folder for `entry` cannot be used; empty if it was made
// or is a real folder already, which the run may then write into.
std::string make_output_folder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return {};
  int error = errno;
  struct stat info;
  // lstat: a link to a folder is no folder, or files would be written
  // through it wherever it points.
  if (error == EEXIST && ::lstat(path.c_str(), &info) == 0) {
    if (!S_ISDIR(info.st_mode)) return "it exists and is not a folder";
    ::chmod(path.c_str(), (info.st_mode & 0777) | 0700);  // --force into a read-only one
    return {};
  }
  return std::strerror(error);
}

// Creates the output folders, parents first, writable by the run; their
// own permission bits are set once everything inside them is written.
// Returns the folders that could not be created, as failed files.
std::vector<file_report> create_output_folders(const tree_options& options,
                                               const std::vector<tree_entry>& entries) {
  std::vector<file_report> failures;
  std::unordered_set<std::string> failed;
  for (const tree_entry& entry : entries) {
    if (entry.type != entry_type::folder && entry.type != entry_type::unreadable_folder) {
      continue;
    }
    // Nothing is made inside a folder that failed.
    if (has_failed_ancestor(entry.path, failed)) continue;
    std::string reason = make_output_folder(join_path(options.output_dir, entry.path));
    if (reason.empty()) continue;
    failed.insert(entry.path);
    file_report failure;
    failure.path = entry.path;
    failure.kind = file_kind::failed;
    failure.problem = "could not create folder: " + reason;
    failures.push_back(std::move(failure));
  }
  return failures;
}

// Gives the output folders the permission bits of their source folders,
// deepest first, now that nothing more is written into them. Only real
// folders made or kept by this run are touched.
void restore_folder_modes(const tree_options& options, const std::vector<tree_entry>& entries,
                          const std::unordered_set<std::string>& failed) {
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (entry->type != entry_type::folder) continue;
    if (failed.contains(entry->path) || has_failed_ancestor(entry->path, failed)) continue;
    std::string path = join_path(options.output_dir, entry->path);
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
    ::chmod(path.c_str(), entry->mode & 0777);  // a failure leaves it usable
  }
}

// Merges the folder failures into the file reports, keeping path order.
void add_folder_failures(std::vector<file_report>& files,
                         std::vector<file_report> failures) {
  if (failures.empty()) return;
  for (file_report& failure : failures) files.push_back(std::move(failure));
  std::stable_sort(files.begin(), files.end(),
                   [](const file_report& a, const file_report& b) { return a.path < b.path; });
}

bool has_blocking_findings(const tree_report& report) {
  for (const file_report& file : report.files) {
    for (const finding& f : file.findings) {
      if (f.level != severity::note) return true;
    }
  }
  return false;
}

bool has_failures(const tree_report& report) {
  for (const file_report& file : report.files) {
    if (file.kind == file_kind::failed) return true;
  }
  return false;
}

// Writes the report where the options send it; false after a message if
// it could not be written.
bool write_report(const tree_options& options, const std::string& text) {
  if (options.report_file.empty()) {
    int target = options.diff ? standard_error : standard_output;
    if (fd_writer(target).write_all(text)) return true;
    diagnose(std::string("could not write the report: ") + std::strerror(errno));
    return false;
  }
  int file = ::open(options.report_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  bool written = file >= 0 && fd_writer(file).write_all(text);
  written = file >= 0 && ::close(file) == 0 && written;
  if (!written) {
    diagnose("could not write the report " + options.report_file + ": " + std::strerror(errno));
  }
  return written;
}

std::string render_report(const tree_options& options, const tree_report& report) {
  switch (options.format) {
    case report_format::text: return render_text_report(report);
    case report_format::json: return render_json_report(report);
    case report_format::sarif: {
      char* root = ::realpath(options.source_dir.c_str(), nullptr);
      std::string root_path = root != nullptr ? root : options.source_dir;
      std::free(root);
      return render_sarif_report(report, root_path);
    }
  }
  return render_text_report(report);
}

unsigned worker_count(const tree_options& options) {
  if (options.jobs > 0) return options.jobs;
  unsigned processors = std::thread::hardware_concurrency();
  return processors > 0 ? processors : 1;
}

// Converts, copies or diffs every entry; diffs go to standard output in
// path order as they are ready. False if standard output failed.
bool process_entries(const tree_options& options, const std::vector<tree_entry>& entries,
                     const std::unordered_set<std::string>& failed_folders,
                     std::vector<file_report>& files) {
  std::vector<std::size_t> tasks;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].type != entry_type::folder) tasks.push_back(i);
  }
  const call_table complete = make_complete_call_table();
  const call_table seed = options.rules == rule_set::seed ? make_mysql_call_table() : call_table();
  const sql::wrapper_table wrappers = find_tree_wrappers(options, entries, worker_count(options));
  const task_context context{options, options.rules == rule_set::seed ? seed : complete, complete,
                             nullptr, failed_folders, &wrappers};
  progress_line progress(options.progress);
  bool output_written = true;
  fd_writer diff_output(standard_output);

  ordered_work work;
  work.count = tasks.size();
  work.jobs = worker_count(options);
  work.run = [&](std::size_t index) { return run_file_task(context, entries[tasks[index]]); };
  work.take = [&](std::size_t, task_result&& result) {
    if (!result.diff.empty() && output_written) {
      progress.clear();
      output_written = diff_output.write_all(result.diff);
    }
    files.push_back(std::move(result.report));
  };
  work.waiting = [&](std::size_t done) { progress.show(done, tasks.size()); };
  run_in_order(work);
  progress.clear();
  if (!output_written) {
    diagnose(std::string("could not write the diff: ") + std::strerror(errno));
  }
  return output_written;
}

}  // namespace

int run_tree(const tree_options& options) {
  auto start = std::chrono::steady_clock::now();
  if (std::string problem = check_source_folder(options.source_dir); !problem.empty()) {
    diagnose(problem);
    return 1;
  }
  if (!options.diff) {
    std::string problem =
        check_output_folder(options.source_dir, options.output_dir, options.force);
    if (problem.empty()) problem = create_folder_path(options.output_dir);
    if (!problem.empty()) {
      diagnose(problem);
      return 1;
    }
  }

  std::vector<tree_entry> entries = walk_source_tree(options.source_dir);
  std::vector<file_report> folder_failures;
  if (!options.diff) folder_failures = create_output_folders(options, entries);
  std::unordered_set<std::string> failed_folders;
  for (const file_report& failure : folder_failures) failed_folders.insert(failure.path);

  tree_report report;
  report.version = CORVEXA_VERSION;
  report.database = options.database_name;
  report.source = options.source_dir;
  report.output = options.output_dir;
  bool output_written = process_entries(options, entries, failed_folders, report.files);
  add_folder_failures(report.files, std::move(folder_failures));
  if (!options.diff) restore_folder_modes(options, entries, failed_folders);

  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string text = render_report(options, report);
  bool report_written = write_report(options, text);

  if (!output_written || !report_written || has_failures(report)) return 1;
  if (options.check && has_blocking_findings(report)) return 2;
  return 0;
}

}  // namespace corvexa
