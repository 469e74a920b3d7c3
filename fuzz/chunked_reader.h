// Helpers shared by the fuzz targets: the fuzz input's first byte chooses
// how the rest is read (in chunks of 1 to 64 bytes, so that buffer refills,
// and giving back a byte right after one, happen at every possible place)
// and how large the output buffers are (so that flushes and long writes
// past the buffer happen everywhere too).
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/memory_conversion.h"

namespace corvexa_fuzz {

// Conversion options cut by the first byte: its low six bits give the chunk
// size, its top two bits the output buffer size.
inline corvexa::memory_conversion_options chunked_options(std::uint8_t first) {
  static constexpr std::size_t output_sizes[4] = {1, 7, 64, 4096};
  corvexa::memory_conversion_options options;
  options.largest_read = 1 + (first & 63);
  options.input_capacity = options.largest_read;
  options.output_capacity = output_sizes[first >> 6];
  return options;
}

}  // namespace corvexa_fuzz
