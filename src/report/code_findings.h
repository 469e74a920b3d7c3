// Findings that come from reading the files as PHP reads them, after the
// conversion: names of the MySQL extension still in the converted code
// (leftover-name) or named by a string (name-in-string), and warning
// comments of unsupported calls standing where PHP needs a value
// (broken-expression).
#pragma once

#include <string_view>
#include <vector>

#include "report/event_log.h"
#include "report/finding.h"
#include "scan/call_table.h"

namespace corvexa {

// Every function or constant of `extension` that the code of `output` still
// calls or reads (not a method, a property, a declaration or a variable),
// and every string of it whose value is exactly the name of one of its
// functions, with their offsets in the output and where they stood in the
// input.
std::vector<finding> find_leftover_names(std::string_view output, const event_log& log,
                                         const call_table& extension);

// Every unsupported call of `log` whose name in `input` follows a token
// that does not end a statement, or whose closing parenthesis is followed
// by something else than ";" or "?>".
std::vector<finding> find_broken_expressions(std::string_view input, const event_log& log);

}  // namespace corvexa
