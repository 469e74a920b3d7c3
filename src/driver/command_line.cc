// Walking the arguments once, left to right.
#include "driver/command_line.h"

#include <string_view>

#include "common/format_text.h"

namespace corvexa {

void print_usage(output_sink& console, std::string_view program) {
  write_format(console, "Usage: %s [ options ] <infile> <outfile>\n", {program});
  console.write_line("          -d <dbname>\n");
}

bool parse_command_line(std::span<const char* const> arguments, output_sink& console,
                        command_line& result) {
  if (arguments.size() < 2) return false;
  int files_seen = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    if (argument == "-d") {
      if (i + 1 == arguments.size()) return false;
      result.database_name = arguments[++i];
    } else if (files_seen == 0) {
      result.input_path = argument;
      files_seen = 1;
    } else if (files_seen == 1) {
      result.output_path = argument;
      files_seen = 2;
    } else {
      write_format(console, "Ignoring: %s\n", {argument});
    }
  }
  return files_seen == 2;
}

}  // namespace corvexa
