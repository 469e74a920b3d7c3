// One run of corvexa-tree: checks the folders, mirrors the source tree into
// the output folder (or prints diffs), converting PHP files in parallel,
// and writes the report.
#pragma once

#include "tree/tree_options.h"

namespace corvexa {

// Returns the exit status: 0 when the run completed, 1 on any failure, 2
// with --check when findings of severity warning or error remain.
int run_tree(const tree_options& options);

}  // namespace corvexa
