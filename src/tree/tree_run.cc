// The steps of a run, in order: the checks of the folders and the report
// file, the walk, the output folders, the files (entry_processing.h), the
// folders' permissions and the check that each is still in its place
// (output_folders.h), the report (report_output.h).
#include "tree/tree_run.h"

#include <chrono>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/version.h"
#include "tree/database_judge.h"
#include "tree/entry_processing.h"
#include "tree/folder_checks.h"
#include "tree/folder_opener.h"
#include "tree/output_folders.h"
#include "tree/report_file.h"
#include "tree/report_output.h"
#include "tree/source_walk.h"

namespace corvexa {
namespace {

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
  // A database that cannot be reached is known before anything is written.
  database_judge database;
  sql::statement_judge judge = [&](const std::string& sql) { return database.judge(sql); };
  if (!options.against.empty()) {
    if (std::string problem = database.connect(options.against); !problem.empty()) {
      diagnose("cannot connect to the --against database: " + problem);
      return 1;
    }
  }
  sql::schema_model schema;
  if (!options.schema_file.empty()) {
    if (std::string problem = read_schema_file(options.schema_file, schema); !problem.empty()) {
      diagnose(problem);
      return 1;
    }
  }
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
  processed_entries processed =
      process_entries(options, entries, failed_folders, *trees.source, trees.output.get(),
                      std::move(schema), options.against.empty() ? nullptr : &judge);
  report.files = std::move(processed.files);
  add_folder_failures(report.files, std::move(folder_failures));
  if (trees.output) {
    fail_moved_folders(report.files, restore_folder_modes(*trees.output, entries, failed_folders));
  }

  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string text = render_report(options, report);
  bool report_written = write_report(options, text);

  if (processed.output_failed || !report_written || has_failures(report)) return 1;
  if (options.check && has_blocking_findings(report)) return 2;
  return 0;
}

}  // namespace corvexa
