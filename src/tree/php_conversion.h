// Converts one PHP file held in memory with the library's conversion, the
// same as corvexa does for a file, and keeps what it reported.
#pragma once

#include <string>
#include <string_view>

#include "report/event_log.h"
#include "scan/call_table.h"

namespace corvexa {

struct converted_text {
  std::string output;
  event_log log;
};

void convert_text(std::string_view input, const call_table& calls,
                  std::string_view database_name, converted_text& result);

}  // namespace corvexa
