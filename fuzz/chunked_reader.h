// Helpers shared by the fuzz targets: a streaming conversion that reads an
// in-memory input in small chunks, so that buffer refills (and giving back a
// byte right after one) happen at every possible place, with small output
// buffers, so that flushes and long writes past the buffer happen everywhere
// too.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "common/byte_streams.h"
#include "common/conversion_state.h"
#include "scan/call_table.h"
#include "scan/memory_conversion.h"
#include "scan/stream_conversion.h"

namespace corvexa_fuzz {

// How a fuzz input's first byte cuts the rest: its low six bits give the
// chunk size (1 to 64 bytes), its top two bits the output buffer size.
struct buffer_sizes {
  explicit buffer_sizes(std::uint8_t first)
      : chunk(1 + (first & 63)), output(output_sizes[first >> 6]) {}
  static constexpr std::size_t output_sizes[4] = {1, 7, 64, 4096};
  std::size_t chunk;
  std::size_t output;
};

// Does what convert_in_memory does, but reads `input` through a
// chunked_reader, the way the command-line run reads a file.
inline corvexa::memory_conversion convert_chunked(
    std::string_view input, buffer_sizes sizes, const corvexa::call_table& calls,
    const corvexa::memory_conversion_options& options = {}) {
  corvexa::memory_conversion result;
  corvexa::memory_reader reader(input, sizes.chunk);
  corvexa::input_buffer source(reader, sizes.chunk);
  corvexa::string_writer output_writer(result.output);
  corvexa::string_writer console_writer(result.console);
  corvexa::output_sink output(output_writer, sizes.output);
  corvexa::output_sink console(console_writer, sizes.output);
  corvexa::convert_stream(source, output, console, calls, options);
  output.flush();
  console.flush();
  return result;
}

}  // namespace corvexa_fuzz
