// Wiring a conversion_state for one run.
#include "scan/stream_conversion.h"

#include "scan/text_copier.h"

namespace corvexa {

void convert_stream(input_buffer& input, output_sink& output, event_sink& events,
                    const call_table& calls) {
  conversion_state state(input, output, events, calls);
  copy_text(state);
}

}  // namespace corvexa
