// The command line: any mix of the option "-d <dbname>" and file names. The
// first file name is the input, the second the output; later ones are
// reported and ignored. The option never joins its value ("-dshop" is a file
// name), may stand anywhere, and the last one wins.
#pragma once

#include <span>
#include <string>

#include "common/output_sink.h"
#include "translate/table_settings.h"

namespace corvexa {

struct command_line {
  std::string database_name{default_database_name};
  std::string input_path;
  std::string output_path;
};

// Prints the usage text for the program invoked as `program`.
void print_usage(output_sink& console, std::string_view program);

// Reads `arguments` (those after the program name) into `result`, printing
// "Ignoring" lines for extra file names as it goes. Returns false when the
// command line is unusable: a "-d" without a value, or fewer than two file
// names. The caller then prints the usage text.
bool parse_command_line(std::span<const char* const> arguments, output_sink& console,
                        command_line& result);

}  // namespace corvexa
