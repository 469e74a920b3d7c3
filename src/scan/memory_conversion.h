// Runs a whole conversion on input held in memory and returns what it wrote
// to the output and to the console. Tests, fuzzers and benchmarks use it;
// the command-line run does the same over files.
#pragma once

#include <string>
#include <string_view>

#include "scan/call_table.h"

namespace corvexa {

struct memory_conversion {
  std::string output;
  std::string console;
};

struct memory_conversion_options {
  std::string_view database_name = "default";
  std::string_view input_path = "in.php";
  std::string_view output_path = "out.php";
};

memory_conversion convert_in_memory(std::string_view input,
                                    const call_table& calls,
                                    const memory_conversion_options& options = {});

}  // namespace corvexa
