// Every folder is made, opened and changed through the output tree's
// folder opener, by descriptor.
#include "tree/output_folders.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "tree/file_task.h"

namespace corvexa {

void add_folder_failures(std::vector<file_report>& files, std::vector<file_report> failures) {
  if (failures.empty()) return;
  for (file_report& failure : failures) files.push_back(std::move(failure));
  std::stable_sort(files.begin(), files.end(),
                   [](const file_report& a, const file_report& b) { return a.path < b.path; });
}

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

}  // namespace corvexa
