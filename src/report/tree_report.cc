// Names of the file kinds and the totals of a report.
#include "report/tree_report.h"

namespace corvexa {

std::string_view file_kind_name(file_kind kind) {
  switch (kind) {
    case file_kind::php: return "php";
    case file_kind::sql: return "sql";
    case file_kind::copied: return "copied";
    case file_kind::symlink: return "symlink";
    case file_kind::skipped: return "skipped";
    case file_kind::failed: return "failed";
  }
  return "failed";
}

std::uint64_t file_report::total_calls_converted() const {
  std::uint64_t total = 0;
  for (const auto& [name, count] : calls_converted) total += count;
  return total;
}

query_counts& query_counts::operator+=(const query_counts& other) {
  found += other.found;
  parsed += other.parsed;
  rejected += other.rejected;
  rewritten += other.rewritten;
  unchecked += other.unchecked;
  return *this;
}

file_report file_report::failed(std::string path, std::string problem) {
  file_report file;
  file.path = std::move(path);
  file.kind = file_kind::failed;
  file.problem = std::move(problem);
  return file;
}

report_summary summarize(const tree_report& report) {
  report_summary summary;
  for (const file_report& file : report.files) {
    ++summary.files[file.kind];
    summary.queries += file.queries;
    summary.extensions.insert(file.extensions.begin(), file.extensions.end());
    for (const auto& [name, count] : file.calls_converted) {
      summary.calls_converted[name] += count;
    }
    for (const finding& f : file.findings) {
      ++summary.findings_by_rule[std::string(f.rule)];
      ++summary.findings_by_severity[f.level];
    }
  }
  return summary;
}

}  // namespace corvexa
