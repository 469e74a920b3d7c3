// The text report: one line per finding, as a compiler writes them
// (FILE:LINE:COLUMN: severity: message [rule]), pointing into the converted
// files (into the source files in diff mode); a line per skipped or failed
// file; then a summary.
#pragma once

#include <string>

#include "report/tree_report.h"

namespace corvexa {

std::string render_text_report(const tree_report& report);

}  // namespace corvexa
