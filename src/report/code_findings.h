// Findings that come from reading the files as PHP reads them, after the
// conversion: names of the MySQL extension still in the converted code
// (leftover-name), and warning comments of unsupported calls standing where
// PHP needs a value (broken-expression).
#pragma once

#include <string_view>
#include <vector>

#include "report/event_log.h"
#include "report/finding.h"

namespace corvexa {

// Every name in the code of `output` that begins with "mysql_" in any
// letter case, with its offset in the output and where it stood in the
// input.
std::vector<finding> find_leftover_names(std::string_view output, const event_log& log);

// Every unsupported call of `log` whose name in `input` follows a token
// that does not end a statement, or whose closing parenthesis is followed
// by something else than ";" or "?>".
std::vector<finding> find_broken_expressions(std::string_view input, const event_log& log);

}  // namespace corvexa
