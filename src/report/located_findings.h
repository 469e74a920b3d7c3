// Turns the events of one conversion into findings with lines and columns
// in the input and in the converted text, one finding per place.
#pragma once

#include <string_view>
#include <vector>

#include "report/event_log.h"
#include "report/finding.h"
#include "scan/call_table.h"

namespace corvexa {

struct finding_context {
  // The database the converted code connects to.
  std::string_view database_name;
  // Every function and constant of the MySQL extension.
  const call_table& extension;
  // True for the seed's rules, whose warning comments may break an
  // expression.
  bool warning_comments = false;
};

// Findings in order of their source positions. What stands at one place is
// one finding: that of the most severe rule (the last, of equals), with the
// messages of all.
// `more` are findings of other checks, with their offsets.
std::vector<finding> locate_findings(const event_log& log, std::string_view input,
                                     std::string_view output, const finding_context& context,
                                     std::vector<finding> more = {});

}  // namespace corvexa
