// Converts one PHP file held in memory with the library's conversion and
// keeps what it reported: by the seed's rules exactly as corvexa converts a
// file, or by the complete rules, which read the file as PHP does.
#pragma once

#include <string>
#include <string_view>

#include "report/event_log.h"
#include "scan/call_table.h"
#include "tree/tree_options.h"

namespace corvexa {

struct converted_text {
  std::string output;
  event_log log;
};

void convert_text(std::string_view input, const call_table& calls, rule_set rules,
                  converted_text& result);

}  // namespace corvexa
