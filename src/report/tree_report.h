// What a run over a tree found, file by file: the data that every report
// format renders. Files are kept in byte order of their paths and findings
// in order of their source positions, so a report never depends on how the
// work was scheduled.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "report/finding.h"

namespace corvexa {

// php and sql files are converted (an sql file only by the complete
// rules; the seed rules copy it and report what it needs).
enum class file_kind { php, sql, copied, symlink, skipped, failed };

std::string_view file_kind_name(file_kind kind);

// What the SQL checks did with the query texts of the files.
struct query_counts {
  std::uint64_t found = 0;
  std::uint64_t parsed = 0;
  std::uint64_t rejected = 0;
  std::uint64_t rewritten = 0;
  std::uint64_t unchecked = 0;

  query_counts& operator+=(const query_counts& other);
};

struct file_report {
  std::string path;  // relative to the source folder, as bytes
  file_kind kind = file_kind::copied;
  // Calls replaced by a PostgreSQL call, by name.
  std::map<std::string, std::uint64_t> calls_converted;
  std::vector<finding> findings;
  // Why the file was skipped or failed.
  std::string problem;
  query_counts queries;
  // The PostgreSQL extensions the rewritten queries need, such as
  // "pgcrypto".
  std::set<std::string> extensions;

  std::uint64_t total_calls_converted() const;
  // A file (or folder) that failed, and why.
  static file_report failed(std::string path, std::string problem);
};

struct tree_report {
  std::string version;
  std::string database;
  std::string source;  // the folders as given on the command line
  std::string output;  // empty in diff mode
  std::vector<file_report> files;
  double seconds = 0;
};

// Totals over every file of a report.
struct report_summary {
  std::map<file_kind, std::uint64_t> files;
  std::map<std::string, std::uint64_t> calls_converted;
  std::map<std::string, std::uint64_t> findings_by_rule;
  std::map<severity, std::uint64_t> findings_by_severity;
  query_counts queries;
  std::set<std::string> extensions;
};

report_summary summarize(const tree_report& report);

}  // namespace corvexa
