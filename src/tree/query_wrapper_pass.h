// The query wrappers of a whole source tree (sql/query_wrappers.h), found
// before any file is converted: a wrapper is defined in one file and
// called in the others, so every file's checks need all of them. The
// source files are read, not the converted ones: the conversion keeps a
// query call's arguments as written, so a parameter reaches mysql_query
// exactly when it reaches the pg_query that call becomes, and no file is
// converted twice.
#pragma once

#include <vector>

#include "sql/query_wrappers.h"
#include "tree/folder_opener.h"
#include "tree/source_walk.h"
#include "tree/tree_options.h"

namespace corvexa {

// Reads the PHP files among `entries`, through the source tree's folders,
// on `jobs` threads. A file that
// cannot be read gives no wrappers (its conversion reports why). The
// result does not depend on the order the files are read in.
sql::wrapper_table find_tree_wrappers(const tree_options& options,
                                      const std::vector<tree_entry>& entries, folder_opener& source,
                                      unsigned jobs);

}  // namespace corvexa
