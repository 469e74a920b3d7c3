// The report goes to standard output (standard error in diff mode) or to
// its file, which report_file.h writes safely.
#include "tree/report_output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/byte_streams.h"
#include "report/json_report.h"
#include "report/printable.h"
#include "report/sarif_report.h"
#include "report/text_report.h"
#include "tree/report_file.h"

namespace corvexa {
namespace {

constexpr int standard_output = 1;
constexpr int standard_error = 2;

}  // namespace

void diagnose(const std::string& message) {
  fd_writer(standard_error).write_all("corvexa-tree: " + printable(message) + "\n");
}

bool has_blocking_findings(const tree_report& report) {
  for (const file_report& file : report.files) {
    for (const finding& f : file.findings) {
      if (f.level != severity::note) return true;
    }
  }
  return false;
}

bool has_failures(const tree_report& report) {
  for (const file_report& file : report.files) {
    if (file.kind == file_kind::failed) return true;
  }
  return false;
}

bool write_report(const tree_options& options, const std::string& text) {
  if (options.report_file.empty()) {
    int target = options.diff ? standard_error : standard_output;
    if (fd_writer(target).write_all(text)) return true;
    diagnose(std::string("could not write the report: ") + std::strerror(errno));
    return false;
  }
  std::string problem = write_report_file(options.report_file, text);
  if (problem.empty()) return true;
  diagnose("could not write the report " + options.report_file + ": " + problem);
  return false;
}

std::string render_report(const tree_options& options, const tree_report& report) {
  switch (options.format) {
    case report_format::text: return render_text_report(report);
    case report_format::json: return render_json_report(report);
    case report_format::sarif: {
      char* root = ::realpath(options.source_dir.c_str(), nullptr);
      std::string root_path = root != nullptr ? root : options.source_dir;
      std::free(root);
      return render_sarif_report(report, root_path);
    }
  }
  return render_text_report(report);
}

}  // namespace corvexa
