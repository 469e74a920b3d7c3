// The input is read in place; the output is collected in a string sized for
// a conversion that changes little.
#include "tree/php_conversion.h"

#include "common/ascii.h"
#include "common/byte_streams.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/exact_conversion.h"
#include "scan/stream_conversion.h"

namespace corvexa {
namespace {

// Every name of the MySQL extension begins with "mysql", in any case: a
// file without it has nothing for the complete rules to convert.
bool mentions_mysql(std::string_view text) {
  constexpr std::string_view prefix = "mysql";
  for (std::size_t at = text.find_first_of("mM"); at != std::string_view::npos;
       at = text.find_first_of("mM", at + 1)) {
    if (equal_ignoring_ascii_case(text.substr(at, prefix.size()), prefix)) return true;
  }
  return false;
}

}  // namespace

void convert_text(std::string_view input, const call_table& calls, rule_set rules,
                  std::string_view database_name, converted_text& result) {
  result.output.clear();
  if (rules == rule_set::complete && !mentions_mysql(input)) {
    result.output.assign(input);
    return;
  }
  result.output.reserve(input.size() + input.size() / 8 + 64);
  string_writer writer(result.output);
  output_sink output(writer);
  if (rules == rule_set::complete) {
    convert_code_exactly(input, output, result.log, calls, database_name);
  } else {
    input_buffer source(input);
    convert_stream(source, output, result.log, calls, database_name);
  }
  output.flush();
}

}  // namespace corvexa
