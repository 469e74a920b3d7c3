// The JSON report: one object with the run's settings, every file with its
// kind, converted calls and located findings, and a summary. Paths and
// messages are arbitrary bytes; bytes that are not UTF-8 are written as
// U+FFFD so that the document is always valid JSON.
#pragma once

#include <string>

#include "report/tree_report.h"

namespace corvexa {

std::string render_json_report(const tree_report& report);

}  // namespace corvexa
