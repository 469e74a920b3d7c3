// The end of a run: the report rendered in the format asked for and written
// where the options send it, and what the exit status makes of it.
#pragma once

#include <string>

#include "report/tree_report.h"
#include "tree/tree_options.h"

namespace corvexa {

// Prints `message` on standard error as corvexa-tree's.
void diagnose(const std::string& message);

std::string render_report(const tree_options& options, const tree_report& report);

// Writes the report where the options send it; false after a message if
// it could not be written.
bool write_report(const tree_options& options, const std::string& text);

// A finding of severity warning or error, which --check fails on.
bool has_blocking_findings(const tree_report& report);
bool has_failures(const tree_report& report);

}  // namespace corvexa
