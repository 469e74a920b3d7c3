// The steps of a run, in order: the checks of the folders and the report
// file, the walk, the output folders, the files in parallel, the folders'
// permissions (and the check that each is still in its place), the report.
#include "tree/tree_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "common/byte_streams.h"
#include "common/version.h"
#include "report/json_report.h"
#include "report/printable.h"
#include "report/sarif_report.h"
#include "report/text_report.h"
#include "translate/complete_calls.h"
#include "translate/mysql_call_table.h"
#include "tree/file_task.h"
#include "tree/folder_checks.h"
#include "tree/folder_opener.h"
#include "tree/ordered_workers.h"
#include "tree/progress_line.h"
#include "tree/report_file.h"
#include "tree/source_walk.h"


namespace corvexa {
namespace {

constexpr int standard_output = 1;
constexpr int standard_error = 2;

void diagnose(const std::string& message) {
  fd_writer(standard_error).write_all("corvexa-tree: " + printable(message) + "\n");
}

// Merges the folder failures into the file reports, keeping path order.
void add_folder_failures(std::vector<file_report>& files, std::vector<file_report> failures) {
  if (failures.empty()) return;
  for (file_report& failure : failures) files.push_back(std::move(failure));
  std::stable_sort(files.begin(), files.end(),
                   [](const file_report& a, const file_report& b) { return a.path < b.path; });
}

// Creates the output folders, parents first, writable by the run; their
// own permission bits are set once everything inside them is written.
// Returns the folders that could not be created, as failed files.
std::vector<file_report> create_output_folders(folder_opener& output,
                                               const std::vector<tree_entry>& entries) {
  std::vector<file_report> failures;
  std::unordered_set<std::string> failed;
  for (const tree_entry& entry : entries) {
    if (entry.type != entry_type::folder && entry.type != entry_type::unreadable_folder) {
      continue;
    }
    // Nothing is made inside a folder that failed.
    if (has_failed_ancestor(entry.path, failed)) continue;
    std::string reason = output.make(entry.path);
    if (reason.empty()) continue;
    failed.insert(entry.path);
    failures.push_back(file_report::failed(entry.path, "could not create folder: " + reason));
  }
  return failures;
}

// Gives the output folders the permission bits of their source folders,
// deepest first, now that nothing more is written into them. Only real
// folders made or kept by this run are touched. Each is looked up afresh
// from the output folder: returns those that are no longer where the run
// made them, whose files are then not in place either.
std::unordered_set<std::string> restore_folder_modes(
    folder_opener& output, const std::vector<tree_entry>& entries,
    const std::unordered_set<std::string>& failed) {
  output.close_all();
  std::unordered_set<std::string> moved;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (entry->type != entry_type::folder) continue;
    if (failed.contains(entry->path) || has_failed_ancestor(entry->path, failed)) continue;
    shared_folder folder;
    std::string problem = output.open(entry->path, folder);
    if (problem == folder_moved) moved.insert(entry->path);
    if (!problem.empty()) continue;
    ::fchmod(folder->get(), entry->mode & 0777);  // a failure leaves it usable
  }
  return moved;
}

// Fails every file written into a folder that was then moved or replaced,
// and the outermost such folders themselves.
void fail_moved_folders(std::vector<file_report>& files,
                        const std::unordered_set<std::string>& moved) {
  if (moved.empty()) return;
  for (file_report& file : files) {
    if (file.kind == file_kind::failed || file.kind == file_kind::skipped) continue;
    if (!has_failed_ancestor(file.path, moved)) continue;
    file.kind = file_kind::failed;
    file.problem = std::string("could not write: ") + folder_moved;
    file.calls_converted.clear();
    file.findings.clear();
  }
  const std::string folder_problem = std::string("could not write: ") + this_folder_moved;
  std::vector<file_report> folders;
  for (const std::string& path : moved) {
    if (has_failed_ancestor(path, moved)) continue;
    folders.push_back(file_report::failed(path, folder_problem));
  }
  add_folder_failures(files, std::move(folders));
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
  std::string problem = write_report_file(options.report_file, text);
  if (problem.empty()) return true;
  diagnose("could not write the report " + options.report_file + ": " + problem);
  return false;
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
                     const std::unordered_set<std::string>& failed_folders, folder_opener& source,
                     folder_opener* output, std::vector<file_report>& files) {
  std::vector<std::size_t> tasks;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].type != entry_type::folder) tasks.push_back(i);
  }
  const table_settings settings{options.database_name};
  const call_table complete = make_complete_call_table(settings);
  const call_table seed =
      options.rules == rule_set::seed ? make_mysql_call_table(settings) : call_table();
  const task_context context{options, options.rules == rule_set::seed ? seed : complete,
                             complete, nullptr, failed_folders, source, output};
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

// Everything about the folders and the report file that can be checked
// by their names before the run reads or writes anything; empty if fine.
std::string check_names(const tree_options& options) {
  if (std::string problem = check_source_folder(options.source_dir); !problem.empty()) {
    return problem;
  }
  if (!options.diff) {
    std::string problem =
        check_output_folder(options.source_dir, options.output_dir, options.force);
    if (!problem.empty()) return problem;
  }
  if (options.report_file.empty()) return {};
  return check_report_path(options.report_file, options.source_dir, options.output_dir);
}

// Opens the folder `path` as the root of one of the run's two trees.
std::string open_tree(const std::string& path, const std::string& what,
                      std::unique_ptr<folder_opener>& tree) {
  descriptor root;
  if (std::string problem = open_root_folder(path, root); !problem.empty()) {
    return "cannot use " + what + " folder " + path + ": " + problem;
  }
  tree = std::make_unique<folder_opener>(std::move(root), folders_kept_open());
  return {};
}

// The two trees of a run, opened, and what the walk found in the source.
struct run_trees {
  std::unique_ptr<folder_opener> source;
  std::unique_ptr<folder_opener> output;  // none in diff mode
  std::vector<tree_entry> entries;
};

// Checks, walks the source tree and makes the output folder: everything
// up to the first write is checked before it. Empty if all went well.
std::string prepare_trees(const tree_options& options, run_trees& trees) {
  if (std::string problem = check_names(options); !problem.empty()) return problem;
  if (std::string problem = open_tree(options.source_dir, "source", trees.source);
      !problem.empty()) {
    return problem;
  }
  trees.entries = walk_source_tree(*trees.source);
  if (!options.report_file.empty()) {
    std::string problem = check_report_not_in_source(options.report_file, options.source_dir,
                                                     *trees.source, trees.entries);
    if (!problem.empty()) return problem;
  }
  if (options.diff) return {};
  if (std::string problem = create_folder_path(options.output_dir); !problem.empty()) {
    return problem;
  }
  return open_tree(options.output_dir, "output", trees.output);
}

}  // namespace

int run_tree(const tree_options& options) {
  auto start = std::chrono::steady_clock::now();
  run_trees trees;
  if (std::string problem = prepare_trees(options, trees); !problem.empty()) {
    diagnose(problem);
    return 1;
  }
  const std::vector<tree_entry>& entries = trees.entries;
  std::vector<file_report> folder_failures;
  if (trees.output) folder_failures = create_output_folders(*trees.output, entries);
  std::unordered_set<std::string> failed_folders;
  for (const file_report& failure : folder_failures) failed_folders.insert(failure.path);

  tree_report report;
  report.version = corvexa_version;
  report.database = options.database_name;
  report.source = options.source_dir;
  report.output = options.output_dir;
  bool output_written = process_entries(options, entries, failed_folders, *trees.source,
                                        trees.output.get(), report.files);
  add_folder_failures(report.files, std::move(folder_failures));
  if (trees.output) {
    fail_moved_folders(report.files, restore_folder_modes(*trees.output, entries, failed_folders));
  }

  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string text = render_report(options, report);
  bool report_written = write_report(options, text);

  if (!output_written || !report_written || has_failures(report)) return 1;
  if (options.check && has_blocking_findings(report)) return 2;
  return 0;
}

}  // namespace corvexa
