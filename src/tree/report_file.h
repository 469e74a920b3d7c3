// The file that --report-file names: where it may be, and how it is
// written. A report never replaces a file of the source tree (by any name:
// through a link, or as another hard link of the same file) and never lands
// in the output folder, where it would replace a converted file; both are
// refused before the run writes anything. It is written under a temporary
// name in its folder and renamed when complete, so a report that could not
// be written whole never replaces the one before it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tree/folder_opener.h"
#include "tree/source_walk.h"

namespace corvexa {

// Why the report may not be written to `report`, judged by the paths of
// the source and output folders (`output` is empty in diff mode); empty if
// it may.
std::string check_report_path(const std::string& report, const std::string& source,
                              const std::string& output);

// Why `report` is a file of the source tree, found among the walked
// `entries` by device and inode; empty if it is none of them.
std::string check_report_not_in_source(const std::string& report, const std::string& source,
                                       folder_opener& folders,
                                       const std::vector<tree_entry>& entries);

// Writes `text` as the report `report`; returns why it could not, empty if
// it could.
std::string write_report_file(const std::string& report, std::string_view text);

}  // namespace corvexa
