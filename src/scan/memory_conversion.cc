// In-memory conversion: the input is read in place, output and console are
// collected in strings.
#include "scan/memory_conversion.h"

namespace corvexa {

memory_conversion convert_in_memory(std::string_view input,
                                    const call_table& calls,
                                    const conversion_settings& settings) {
  memory_conversion result;
  input_buffer source(input);
  string_writer output_writer(result.output);
  string_writer console_writer(result.console);
  output_sink output(output_writer);
  output_sink console(console_writer);
  convert_stream(source, output, console, calls, settings);
  output.flush();
  console.flush();
  return result;
}

}  // namespace corvexa
