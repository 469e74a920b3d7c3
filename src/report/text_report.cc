// Finding lines in file order, then the summary.
#include "report/text_report.h"

#include <cstdio>

#include "report/printable.h"

namespace corvexa {
namespace {

std::string joined_path(const std::string& folder, const std::string& path) {
  if (folder.empty() || folder.back() == '/') return folder + path;
  return folder + "/" + path;
}

std::string location(const text_position& at) {
  // Appended piece by piece: g++ 12 warns wrongly about "literal" + string.
  std::string text(1, ':');
  text += std::to_string(at.line);
  text += ':';
  text += std::to_string(at.column);
  return text;
}

void add_file_lines(const tree_report& report, const file_report& file, std::string& text) {
  bool diff_mode = report.output.empty();
  if (file.kind == file_kind::skipped || file.kind == file_kind::failed) {
    text += printable(joined_path(report.source, file.path));
    text += file.kind == file_kind::failed ? ": error: " : ": note: skipped: ";
    text += printable(file.problem);
    text += " [" + std::string(file_kind_name(file.kind)) + "]\n";
    return;
  }
  // An .sql file's findings are placed in the source file only: its
  // conversion streams, and no map of its output is kept.
  bool in_source = diff_mode || file.kind == file_kind::sql;
  const std::string shown =
      printable(joined_path(in_source ? report.source : report.output, file.path));
  for (const finding& f : file.findings) {
    text += shown + location(in_source ? f.source : f.output) + ": ";
    text += std::string(severity_name(f.level)) + ": " + printable(f.message);
    text += " [" + std::string(f.rule) + "]\n";
  }
}

// "3 (a 1, b 2)" from counts by name.
template <typename Counts>
std::string counted(std::uint64_t total, const Counts& counts) {
  std::string text = std::to_string(total);
  const char* separator = " (";
  for (const auto& [name, count] : counts) {
    text += separator + printable(name) + " " + std::to_string(count);
    separator = ", ";
  }
  return counts.empty() ? text : text + ")";
}

void add_summary(const tree_report& report, std::string& text) {
  report_summary summary = summarize(report);
  auto files = [&](file_kind kind) { return std::to_string(summary.files[kind]); };
  text += "files: " + std::to_string(report.files.size()) + " (converted " + files(file_kind::php) +
          ", SQL " + files(file_kind::sql) + ", copied " + files(file_kind::copied) +
          ", symbolic links " + files(file_kind::symlink) + ", skipped " +
          files(file_kind::skipped) + ", failed " + files(file_kind::failed) + ")\n";
  std::uint64_t calls = 0;
  for (const auto& [name, count] : summary.calls_converted) calls += count;
  text += "calls converted: " + counted(calls, summary.calls_converted) + "\n";
  std::uint64_t findings = 0;
  for (const auto& [rule, count] : summary.findings_by_rule) findings += count;
  text += "findings: " + counted(findings, summary.findings_by_rule) + "\n";
  const query_counts& queries = summary.queries;
  text += "query texts: " + std::to_string(queries.found) + " (parsed " +
          std::to_string(queries.parsed) + ", rejected " + std::to_string(queries.rejected) +
          ", rewritten " + std::to_string(queries.rewritten) + ", unchecked " +
          std::to_string(queries.unchecked) + ")\n";
  if (!summary.extensions.empty()) {
    text += "extensions the database needs:";
    for (const std::string& extension : summary.extensions) text += " " + extension;
    text += "\n";
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", report.seconds);
  text += std::string("time: ") + seconds + " s\n";
}

}  // namespace

std::string render_text_report(const tree_report& report) {
  std::string text;
  for (const file_report& file : report.files) add_file_lines(report, file, text);
  add_summary(report, text);
  return text;
}

}  // namespace corvexa
