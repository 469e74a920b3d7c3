// Runs a whole conversion from an input buffer to an output sink. The
// command-line run, the in-memory conversion, the tests and the fuzzers all
// go through this one entry point, whatever streams lie behind the buffers.
#pragma once

#include <string_view>

#include "common/conversion_events.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/call_table.h"

namespace corvexa {

// Converts all of `input` into `output`, which is not flushed, reporting
// events to `events`.
void convert_stream(input_buffer& input, output_sink& output, event_sink& events,
                    const call_table& calls);

}  // namespace corvexa
