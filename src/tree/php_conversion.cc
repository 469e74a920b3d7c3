// The input is read in place; the output is collected in a string sized for
// a conversion that changes little.
#include "tree/php_conversion.h"

#include "common/byte_streams.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/exact_conversion.h"
#include "scan/stream_conversion.h"

namespace corvexa {
void convert_text(std::string_view input, const call_table& calls, rule_set rules,
                  converted_text& result) {
  result.output.clear();
  if (rules == rule_set::complete && !calls.may_name_a_call_in(input)) {
    result.output.assign(input);
    return;
  }
  result.output.reserve(input.size() + input.size() / 8 + 64);
  string_writer writer(result.output);
  output_sink output(writer);
  if (rules == rule_set::complete) {
    convert_code_exactly(input, output, result.log, calls);
  } else {
    input_buffer source(input);
    convert_stream(source, output, result.log, calls);
  }
  output.flush();
}

}  // namespace corvexa
