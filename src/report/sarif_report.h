// The SARIF 2.1.0 report that code-review tools and editors load: one run
// of corvexa-tree with every rule described, one result per finding placed
// at its position in the source file (relative to the SRCROOT base), and
// files that failed as notifications of the run.
#pragma once

#include <string>

#include "report/tree_report.h"

namespace corvexa {

// `source_root` is the absolute path of the source folder, for SRCROOT.
std::string render_sarif_report(const tree_report& report, const std::string& source_root);

}  // namespace corvexa
