// With an empty call table a conversion is a plain copy: the output must
// equal the input byte for byte, zero bytes and unterminated tokens
// included, and nothing may reach the console. Checked on the input held in
// memory and on the input read in chunks (and written through buffers)
// whose sizes the first byte chooses, at every width of the scanner's byte
// searches.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chunked_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvexa::call_table no_calls;
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  corvexa::memory_conversion_options in_place;
  corvexa::memory_conversion_options chunked = corvexa_fuzz::chunked_options(data[0]);
  for (corvexa::search_width width : corvexa::available_search_widths()) {
    in_place.width = chunked.width = width;
    for (const corvexa::memory_conversion_options& options : {in_place, chunked}) {
      auto copy = corvexa::convert_in_memory(input, no_calls, options);
      if (copy.output != input || !copy.console.empty()) std::abort();
    }
  }
  return 0;
}
