// In-memory conversion: the input is read in place, output and console are
// collected in strings.
#include "scan/memory_conversion.h"

#include "scan/text_copier.h"

namespace corvexa {

memory_conversion convert_in_memory(std::string_view input,
                                    const call_table& calls,
                                    const memory_conversion_options& options) {
  memory_conversion result;
  input_buffer source(input);
  string_writer output_writer(result.output);
  string_writer console_writer(result.console);
  output_sink output(output_writer);
  output_sink console(console_writer);
  conversion_state state(source, output, console, calls);
  state.database_name = options.database_name;
  state.input_path = options.input_path;
  state.output_path = options.output_path;
  copy_text(state);
  output.flush();
  console.flush();
  return result;
}

}  // namespace corvexa
