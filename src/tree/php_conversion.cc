// The input is read in place; the output is collected in a string sized for
// a conversion that changes little.
#include "tree/php_conversion.h"

#include "common/byte_streams.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/stream_conversion.h"

namespace corvexa {

void convert_text(std::string_view input, const call_table& calls,
                  std::string_view database_name, converted_text& result) {
  result.output.clear();
  result.output.reserve(input.size() + input.size() / 8 + 64);
  input_buffer source(input);
  string_writer writer(result.output);
  output_sink output(writer);
  convert_stream(source, output, result.log, calls, database_name);
  output.flush();
}

}  // namespace corvexa
