// What the query checks of every file need from the whole source tree,
// found before any file is converted: the query wrappers
// (sql/query_wrappers.h), defined in one file and called in the others, and
// the tables the code creates (sql/created_tables.h), created by an install
// script and read by every page. The source files are read, not the
// converted ones: the conversion keeps a query call's arguments as written,
// so a parameter reaches mysql_query exactly when it reaches the pg_query
// that call becomes, and no file is converted twice.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "sql/query_wrappers.h"
#include "tree/folder_opener.h"
#include "tree/source_walk.h"
#include "tree/tree_options.h"

namespace corvexa {

struct tree_query_clues {
  sql::wrapper_table wrappers;
  std::set<std::string> created_tables;  // lower case
};

// Reads the PHP files among `entries`, through the source tree's folders,
// on `jobs` threads. A file that cannot be read gives nothing (its
// conversion reports why). The result does not depend on the order the
// files are read in.
tree_query_clues find_tree_query_clues(const tree_options& options,
                                       const std::vector<tree_entry>& entries,
                                       folder_opener& source, unsigned jobs);

}  // namespace corvexa
