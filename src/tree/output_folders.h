// The folders of the output tree: made before the files are written, given
// their source folders' permission bits once everything inside them is
// written, and checked to be still where the run made them.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "report/tree_report.h"
#include "tree/folder_opener.h"
#include "tree/source_walk.h"

namespace corvexa {

// Creates the output folders, parents first, writable by the run; their
// own permission bits are set once everything inside them is written.
// Returns the folders that could not be created, as failed files.
std::vector<file_report> create_output_folders(folder_opener& output,
                                               const std::vector<tree_entry>& entries);

// Merges the folder failures into the file reports, keeping path order.
void add_folder_failures(std::vector<file_report>& files, std::vector<file_report> failures);

// Gives the output folders the permission bits of their source folders,
// deepest first, now that nothing more is written into them. Only real
// folders made or kept by this run are touched. Each is looked up afresh
// from the output folder: returns those that are no longer where the run
// made them, whose files are then not in place either.
std::unordered_set<std::string> restore_folder_modes(folder_opener& output,
                                                     const std::vector<tree_entry>& entries,
                                                     const std::unordered_set<std::string>& failed);

// Fails every file written into a folder that was then moved or replaced,
// and the outermost such folders themselves.
void fail_moved_folders(std::vector<file_report>& files,
                        const std::unordered_set<std::string>& moved);

}  // namespace corvexa
