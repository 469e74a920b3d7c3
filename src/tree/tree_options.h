// Everything corvexa-tree's command line decides.
#pragma once

#include <string>
#include <vector>

#include "translate/table_settings.h"

namespace corvexa {

enum class report_format { text, json, sarif };

// Which rules convert the calls: the complete ones, made for a port that
// runs on PHP 8, or the seed's, which corvexa applies to a single file.
enum class rule_set { complete, seed };

struct tree_options {
  std::string source_dir;
  std::string output_dir;  // empty in diff mode
  std::string database_name{default_database_name};
  rule_set rules = rule_set::complete;
  unsigned jobs = 0;  // 0: one per processor
  report_format format = report_format::text;
  std::string report_file;  // empty: standard output (standard error in diff mode)
  bool check = false;
  bool diff = false;
  // Extensions of the files converted as PHP, lower case, without the dot.
  std::vector<std::string> php_extensions = {"php", "php3", "php4", "php5", "phtml", "inc"};
  // Extensions of the files converted as MySQL's SQL.
  std::vector<std::string> sql_extensions = {"sql"};
  // A MySQL schema kept outside the tree, read for its tables only.
  std::string schema_file;
  // A PostgreSQL database (libpq connection string) that prepares every
  // query text; empty for none.
  std::string against;
  bool force = false;
  bool progress = true;
};

}  // namespace corvexa
