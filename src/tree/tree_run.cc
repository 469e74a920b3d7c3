// The steps of a run, in order: folder checks, the walk, the output
// folders, the files in parallel, the folders' permissions, the report.
#include "tree/tree_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/byte_streams.h"
#include "report/json_report.h"
#include "report/printable.h"
#include "report/text_report.h"
#include "translate/mysql_call_table.h"
#include "tree/file_task.h"
#include "tree/folder_checks.h"
#include "tree/ordered_workers.h"
#include "tree/progress_line.h"
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

std::string join(const std::string& folder, const std::string& path) {
  return folder.back() == '/' ? folder + path : folder + "/" + path;
}

// Creates the output folders, parents first, writable by the run; their
// own permission bits are set once everything inside them is written.
// Returns the folders that could not be created, as failed files.
std::vector<file_report> create_output_folders(const tree_options& options,
                                               const std::vector<tree_entry>& entries) {
  std::vector<file_report> failures;
  for (const tree_entry& entry : entries) {
    if (entry.type != entry_type::folder && entry.type != entry_type::unreadable_folder) {
      continue;
    }
    std::string path = join(options.output_dir, entry.path);
    struct stat info;
    if (::mkdir(path.c_str(), 0700) == 0) continue;
    if (errno == EEXIST && ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      continue;
    }
    std::string reason = errno == EEXIST ? std::string("it exists and is not a folder")
                                         : std::string(std::strerror(errno));
    failures.push_back(file_report{entry.path, file_kind::failed, {}, {},
                                   "could not create folder: " + reason});
  }
  return failures;
}

// Gives the output folders the permission bits of their source folders,
// deepest first, now that nothing more is written into them.
void restore_folder_modes(const tree_options& options,
                          const std::vector<tree_entry>& entries) {
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (entry->type != entry_type::folder) continue;
    std::string path = join(options.output_dir, entry->path);
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

unsigned worker_count(const tree_options& options) {
  if (options.jobs > 0) return options.jobs;
  unsigned processors = std::thread::hardware_concurrency();
  return processors > 0 ? processors : 1;
}

// Converts, copies or diffs every entry; diffs go to standard output in
// path order as they are ready. False if standard output failed.
bool process_entries(const tree_options& options, const std::vector<tree_entry>& entries,
                     std::vector<file_report>& files) {
  std::vector<std::size_t> tasks;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].type != entry_type::folder) tasks.push_back(i);
  }
  const call_table calls = make_mysql_call_table();
  const task_context context{options, calls};
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

  tree_report report;
  report.version = CORVEXA_VERSION;
  report.database = options.database_name;
  report.source = options.source_dir;
  report.output = options.output_dir;
  bool output_written = process_entries(options, entries, report.files);
  add_folder_failures(report.files, std::move(folder_failures));
  if (!options.diff) restore_folder_modes(options, entries);

  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string text = options.format == report_format::json ? render_json_report(report)
                                                           : render_text_report(report);
  bool report_written = write_report(options, text);

  if (!output_written || !report_written || has_failures(report)) return 1;
  if (options.check && has_blocking_findings(report)) return 2;
  return 0;
}

}  // namespace corvexa
