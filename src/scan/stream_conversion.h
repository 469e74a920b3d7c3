// Runs a whole conversion from an input buffer to an output sink. The
// command-line run, the in-memory conversion, the tests and the fuzzers all
// go through this one entry point, whatever streams lie behind the buffers.
#pragma once

#include <string_view>

#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/call_table.h"

namespace corvexa {

// What a run knows besides its streams: the database name to connect to
// and the two paths, which the database advice quotes back to the user.
struct conversion_settings {
  std::string_view database_name = "default";
  std::string_view input_path = "in.php";
  std::string_view output_path = "out.php";
};

// Converts all of `input` into `output`; messages go to `console`. Neither
// sink is flushed.
void convert_stream(input_buffer& input, output_sink& output,
                    output_sink& console, const call_table& calls,
                    const conversion_settings& settings);

}  // namespace corvexa
