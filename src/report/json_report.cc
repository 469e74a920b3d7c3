// Built with nlohmann::ordered_json, which keeps the keys in the order
// they are added.
#include "report/json_report.h"

#include <nlohmann/json.hpp>

namespace corvexa {
namespace {

using json = nlohmann::ordered_json;

json position(const text_position& at) {
  return json{{"line", at.line}, {"column", at.column}};
}

json file_object(const file_report& file) {
  json findings = json::array();
  for (const finding& f : file.findings) {
    findings.push_back(json{{"rule", f.rule},
                            {"severity", severity_name(f.level)},
                            {"name", f.name},
                            {"message", f.message},
                            {"source", position(f.source)},
                            {"output", position(f.output)}});
  }
  json object = {{"path", file.path},
                 {"kind", file_kind_name(file.kind)},
                 {"calls_converted", file.total_calls_converted()},
                 {"findings", std::move(findings)}};
  if (!file.problem.empty()) object["problem"] = file.problem;
  return object;
}

json summary_object(const tree_report& report) {
  report_summary summary = summarize(report);
  json files = json::object();
  for (file_kind kind : {file_kind::php, file_kind::copied, file_kind::symlink,
                         file_kind::skipped, file_kind::failed}) {
    files[std::string(file_kind_name(kind))] = summary.files[kind];
  }
  json findings = json::object();
  for (severity level : {severity::error, severity::warning, severity::note}) {
    findings[std::string(severity_name(level))] = summary.findings_by_severity[level];
  }
  return json{{"files", std::move(files)},
              {"calls_converted", summary.calls_converted},
              {"findings", std::move(findings)},
              {"findings_by_rule", summary.findings_by_rule},
              {"seconds", report.seconds}};
}

}  // namespace

std::string render_json_report(const tree_report& report) {
  json files = json::array();
  for (const file_report& file : report.files) files.push_back(file_object(file));
  json document = {{"tool", "corvexa-tree"},
                   {"version", report.version},
                   {"database", report.database},
                   {"source", report.source},
                   {"output", report.output.empty() ? json(nullptr) : json(report.output)},
                   {"files", std::move(files)},
                   {"summary", summary_object(report)}};
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace corvexa
