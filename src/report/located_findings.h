// Turns the events of one conversion into findings with lines and columns
// in the input and in the converted text.
#pragma once

#include <string_view>
#include <vector>

#include "report/event_log.h"
#include "report/finding.h"

namespace corvexa {

// Findings in order of their source positions (events of one call in the
// order they happened).
std::vector<finding> locate_findings(const event_log& log, std::string_view input,
                                     std::string_view output,
                                     std::string_view database_name);

}  // namespace corvexa
