// The entries of a run, converted, copied or diffed on worker threads, in
// two rounds. The first reads the tables that the .sql files create (with a
// --schema file's): the rows of a dump need them when another file creates
// their tables, and the query checks of the PHP files judge the queries
// against them. The second converts, copies or diffs everything. Diffs go
// to standard output in path order as they are ready.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "report/tree_report.h"
#include "sql/query_checks.h"
#include "sql/schema_model.h"
#include "tree/folder_opener.h"
#include "tree/source_walk.h"
#include "tree/tree_options.h"

namespace corvexa {

struct processed_entries {
  std::vector<file_report> files;  // in path order
  // Standard output could not be written (diff mode); a message was given.
  bool output_failed = false;
};

// `model` holds the tables of the --schema file, if any; those of the
// tree's .sql files are added to it.
processed_entries process_entries(const tree_options& options,
                                  const std::vector<tree_entry>& entries,
                                  const std::unordered_set<std::string>& failed_folders,
                                  folder_opener& source, folder_opener* output,
                                  sql::schema_model model,
                                  const sql::statement_judge* against = nullptr);

// Reads the tables of the --schema file `path` into `model`; a message if
// it cannot be read.
std::string read_schema_file(const std::string& path, sql::schema_model& model);

}  // namespace corvexa
