// The argument reader of the complete rules. The arguments are read as PHP
// reads them (php_code.h): a comma splits them only outside brackets,
// strings and comments, whitespace stays where it is, and there may be any
// number of them. Each argument is converted on its own, so that a call
// inside an argument is converted too, by the same table.
#pragma once

#include <string>
#include <vector>

#include "common/conversion_state.h"
#include "scan/php_code.h"

namespace corvexa {

struct exact_arguments {
  // False when the list does not close where the rule could read it (the
  // end of the file or of the PHP block comes first) or lies too deep
  // inside other calls: the call is then left as it was.
  bool complete = false;
  // Each argument converted, without the whitespace around it.
  std::vector<std::string> converted;
  // Each argument as written, without the whitespace around it, and where
  // that stands in the input.
  std::vector<std::string_view> written;
  std::vector<code_span> spans;
};

// Reads the argument list of the call in progress, whose name the block
// loop has just consumed, and consumes it up to its ")". When the list
// cannot be read, nothing more is consumed.
exact_arguments read_exact_arguments(conversion_state& state);

}  // namespace corvexa
