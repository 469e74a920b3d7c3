// A finding: something in one converted file that the user should look at,
// with the rule that found it and where it stands in the input file and in
// the converted file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/line_index.h"

namespace corvexa {

enum class severity { error, warning, note };

struct finding {
  std::string_view rule;  // the rule's id, such as "unsupported-call"
  severity level = severity::warning;
  std::string name;  // the call the finding is about
  std::string message;
  std::uint64_t source_offset = 0;  // where the call name begins in the input
  text_position source;
  text_position output;  // where what replaced the call begins
};

std::string_view severity_name(severity level);

}  // namespace corvexa
