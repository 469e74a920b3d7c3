// Wiring a conversion_state for one run.
#include "scan/stream_conversion.h"

#include "scan/text_copier.h"

namespace corvexa {

void convert_stream(input_buffer& input, output_sink& output,
                    output_sink& console, const call_table& calls,
                    const conversion_settings& settings) {
  conversion_state state(input, output, console, calls);
  state.database_name = settings.database_name;
  state.input_path = settings.input_path;
  state.output_path = settings.output_path;
  copy_text(state);
}

}  // namespace corvexa
