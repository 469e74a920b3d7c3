// Built with nlohmann::ordered_json, which keeps the keys in the order
// they are added. The document is written one finding at a time, a line
// per file, so that a large report never stands whole as a JSON tree.
#include "report/json_report.h"

#include <nlohmann/json.hpp>

namespace corvexa {
namespace {

using json = nlohmann::ordered_json;

json position(const text_position& at) { return json{{"line", at.line}, {"column", at.column}}; }

json finding_object(const finding& f) {
  return json{
      {"rule", f.rule},       {"severity", severity_name(f.level)}, {"name", f.name},
      {"message", f.message}, {"source", position(f.source)},       {"output", position(f.output)}};
}

// One value as compact JSON; bytes that are not UTF-8 become U+FFFD.
std::string dumped(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

// A file's object, its findings added one at a time.
void add_file(const file_report& file, std::string& text) {
  json head = {{"path", file.path},
               {"kind", file_kind_name(file.kind)},
               {"calls_converted", file.total_calls_converted()}};
  if (!file.problem.empty()) head["problem"] = file.problem;
  text += dumped(head);
  text.pop_back();  // the closing brace: the findings follow
  text += ",\"findings\":[";
  const char* separator = "";
  for (const finding& f : file.findings) {
    text += separator;
    text += dumped(finding_object(f));
    separator = ",";
  }
  text += "]}";
}

json summary_object(const tree_report& report) {
  report_summary summary = summarize(report);
  json files = json::object();
  for (file_kind kind : {file_kind::php, file_kind::sql, file_kind::copied, file_kind::symlink,
                         file_kind::skipped, file_kind::failed}) {
    files[std::string(file_kind_name(kind))] = summary.files[kind];
  }
  json findings = json::object();
  for (severity level : {severity::error, severity::warning, severity::note}) {
    findings[std::string(severity_name(level))] = summary.findings_by_severity[level];
  }
  const query_counts& queries = summary.queries;
  return json{{"files", std::move(files)},
              {"calls_converted", summary.calls_converted},
              {"findings", std::move(findings)},
              {"findings_by_rule", summary.findings_by_rule},
              {"query_texts",
               {{"found", queries.found},
                {"parsed", queries.parsed},
                {"rejected", queries.rejected},
                {"rewritten", queries.rewritten},
                {"unchecked", queries.unchecked}}},
              {"extensions", summary.extensions},
              {"seconds", report.seconds}};
}

}  // namespace

std::string render_json_report(const tree_report& report) {
  json head = {{"tool", "corvexa-tree"},
               {"version", report.version},
               {"database", report.database},
               {"source", report.source},
               {"output", report.output.empty() ? json(nullptr) : json(report.output)}};
  std::string text = dumped(head);
  text.pop_back();  // the closing brace: the files and the summary follow
  text += ",\"files\":[";
  const char* separator = "\n";
  for (const file_report& file : report.files) {
    text += separator;
    add_file(file, text);
    separator = ",\n";
  }
  text += "\n],\"summary\":";
  text += dumped(summary_object(report));
  text += "}\n";
  return text;
}

}  // namespace corvexa
