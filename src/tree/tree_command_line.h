// corvexa-tree's command line, read with GNU conventions: options may stand
// before or after the folders, "--" ends the options, short options may be
// grouped and long ones abbreviated.
#pragma once

#include <span>
#include <string>

#include "tree/tree_options.h"

namespace corvexa {

enum class command_outcome { run, help, version, usage_error };

struct parsed_command {
  command_outcome outcome = command_outcome::usage_error;
  tree_options options;
  std::string error;  // what was wrong, for a usage error
};

// `arguments` is the whole argument vector, the program name first.
parsed_command parse_tree_command_line(std::span<char* const> arguments);

// The text of --help.
std::string tree_help_text();

}  // namespace corvexa
