// What corvexa-tree does with one entry of the source tree: convert a PHP
// file, copy another file, recreate a symbolic link, or note what it
// skipped; in diff mode, produce the diff of a PHP file instead of writing.
#pragma once

#include <set>
#include <string>
#include <unordered_set>

#include "report/tree_report.h"
#include "scan/call_table.h"
#include "sql/query_checks.h"
#include "sql/query_wrappers.h"
#include "sql/schema_model.h"
#include "tree/folder_opener.h"
#include "tree/source_walk.h"
#include "tree/tree_options.h"

namespace corvexa {

// What every task shares; read only while the workers run.
struct task_context {
  const tree_options& options;
  // The rules of the run.
  const call_table& calls;
  // Every function and constant of the MySQL extension, which the reports
  // look for in the converted code.
  const call_table& extension;
  // The tables the tree's schema describes, for the query checks; null
  // when there is no schema.
  const sql::schema_model* schema;
  // Output folders that could not be made: nothing is written inside them.
  const std::unordered_set<std::string>& failed_folders;
  // Where files are read, and where they are written (none in diff mode).
  folder_opener& source;
  folder_opener* output;
  // The tree's query wrappers, whose calls the query checks follow too;
  // null for none.
  const sql::wrapper_table* wrappers = nullptr;
  // The round that only reads the tables of the .sql files.
  bool reading_tables = false;
  // The PostgreSQL extensions that the queries of the PHP files need,
  // created by the converted .sql files that create tables; null for none.
  const std::set<std::string>* extensions = nullptr;
  // The database that prepares every query text (--against), or null.
  const sql::statement_judge* against = nullptr;
};

// True if a folder above `path` (relative, "/" between names) is in
// `failed`.
bool has_failed_ancestor(const std::string& path, const std::unordered_set<std::string>& failed);

struct task_result {
  file_report report;
  // The tables an .sql file describes.
  sql::schema_model model;
  std::string diff;  // diff mode only
};

task_result run_file_task(const task_context& context, const tree_entry& entry);

// True if `path` ends in one of `extensions` (letter case ignored).
bool has_extension(const std::string& path, const std::vector<std::string>& extensions);

}  // namespace corvexa
