// Runs a whole conversion on input held in memory and returns what it wrote
// to the output and to the console. Tests, fuzzers and benchmarks use it;
// the command-line run does the same over files.
#pragma once

#include <string>
#include <string_view>

#include "scan/call_table.h"
#include "scan/stream_conversion.h"

namespace corvexa {

struct memory_conversion {
  std::string output;
  std::string console;
};

using memory_conversion_options = conversion_settings;

memory_conversion convert_in_memory(std::string_view input,
                                    const call_table& calls,
                                    const conversion_settings& settings = {});

}  // namespace corvexa
