// Paths become URI references by percent-encoding every byte outside the
// unreserved set (and "/" between names), which also keeps bytes that are
// not UTF-8 exact. Columns are given in Unicode code points. Results are
// written one a line, so the report never stands whole as a JSON tree.
#include "report/sarif_report.h"

#include <nlohmann/json.hpp>

#include "report/rules.h"

namespace corvexa {
namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view schema_uri =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
    "sarif-schema-2.1.0.json";

std::string percent_encoded(std::string_view path) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string uri;
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (unreserved) {
      uri.push_back(c);
    } else {
      uri.push_back('%');
      uri.push_back(hex[byte >> 4]);
      uri.push_back(hex[byte & 15]);
    }
  }
  return uri;
}

json rule_list() {
  json rules = json::array();
  for (const rule& r : all_rules()) {
    rules.push_back(json{{"id", r.name},
                         {"shortDescription", {{"text", r.description}}},
                         {"defaultConfiguration", {{"level", severity_name(r.level)}}}});
  }
  return rules;
}

json location(const std::string& path, const text_position* at) {
  json physical = {
      {"artifactLocation", {{"uri", percent_encoded(path)}, {"uriBaseId", "SRCROOT"}}}};
  if (at != nullptr) {
    physical["region"] = {{"startLine", at->line}, {"startColumn", at->column}};
  }
  return json{{"physicalLocation", std::move(physical)}};
}

json result_of(const file_report& file, const finding& f) {
  text_position at{f.source.line, f.source_column_in_characters};
  return json{{"ruleId", f.rule},
              {"ruleIndex", static_cast<std::size_t>(f.id)},
              {"level", severity_name(f.level)},
              {"message", {{"text", f.message}}},
              {"locations", json::array({location(file.path, &at)})}};
}

json invocation(const tree_report& report) {
  json notifications = json::array();
  bool successful = true;
  for (const file_report& file : report.files) {
    if (file.kind != file_kind::failed && file.kind != file_kind::skipped) continue;
    successful = successful && file.kind != file_kind::failed;
    notifications.push_back(json{
        {"level", file.kind == file_kind::failed ? "error" : "note"},
        {"message",
         {{"text",
           std::string(file.kind == file_kind::failed ? "failed: " : "skipped: ") + file.problem}}},
        {"locations", json::array({location(file.path, nullptr)})}});
  }
  return json{{"executionSuccessful", successful},
              {"toolExecutionNotifications", std::move(notifications)}};
}

// One value as compact JSON; bytes that are not UTF-8 become U+FFFD.
std::string dumped(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace

std::string render_sarif_report(const tree_report& report, const std::string& source_root) {
  std::string root_uri = "file://" + percent_encoded(source_root);
  if (root_uri.back() != '/') root_uri += '/';
  json run = {{"tool",
               {{"driver",
                 {{"name", "corvexa-tree"}, {"version", report.version}, {"rules", rule_list()}}}}},
              {"invocations", json::array({invocation(report)})},
              {"originalUriBaseIds", {{"SRCROOT", {{"uri", root_uri}}}}},
              {"columnKind", "unicodeCodePoints"}};
  std::string text = "{\"$schema\":";
  text += dumped(schema_uri);
  text += ",\"version\":\"2.1.0\",\"runs\":[";
  text += dumped(run);
  text.pop_back();  // the run's closing brace: its results follow
  text += ",\"results\":[";
  const char* separator = "\n";
  for (const file_report& file : report.files) {
    for (const finding& f : file.findings) {
      text += separator;
      text += dumped(result_of(file, f));
      separator = ",\n";
    }
  }
  text += "\n]}]}\n";
  return text;
}

}  // namespace corvexa
