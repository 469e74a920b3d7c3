// With an empty call table a conversion is a plain copy: the output must
// equal the input byte for byte, zero bytes and unterminated tokens
// included, and nothing may reach the console. Checked both on the input
// held in memory and on the input read in chunks (and written through
// buffers) whose sizes the first byte chooses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chunked_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvexa::call_table no_calls;
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  auto whole = corvexa::convert_in_memory(input, no_calls);
  if (whole.output != input || !whole.console.empty()) std::abort();

  auto chunked = corvexa::convert_in_memory(
      input, no_calls, corvexa_fuzz::chunked_options(data[0]));
  if (chunked.output != input || !chunked.console.empty()) std::abort();
  return 0;
}
