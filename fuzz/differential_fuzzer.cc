// Converts the fuzz input with the full table of MySQL calls at every width
// of the scanner's byte searches this build and processor have, each read
// in place and in chunks (the first byte chooses the chunk and buffer
// sizes), and checks each against the byte-at-a-time reference, which is
// what a build with CORVEXA_SCALAR runs: the same output, console text,
// events and call offsets, to the byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chunked_reader.h"
#include "translate/mysql_call_table.h"

namespace {

bool same_events(const corvexa::memory_conversion& a, const corvexa::memory_conversion& b) {
  if (a.events.size() != b.events.size()) return false;
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    const corvexa::recorded_event& x = a.events[i];
    const corvexa::recorded_event& y = b.events[i];
    if (x.kind != y.kind || x.call != y.call || x.text != y.text ||
        x.source_offset != y.source_offset) {
      return false;
    }
  }
  return true;
}

bool same_calls(const corvexa::memory_conversion& a, const corvexa::memory_conversion& b) {
  if (a.calls.size() != b.calls.size()) return false;
  for (std::size_t i = 0; i < a.calls.size(); ++i) {
    const corvexa::replaced_call& x = a.calls[i];
    const corvexa::replaced_call& y = b.calls[i];
    if (x.name != y.name || x.translated != y.translated || x.source_begin != y.source_begin ||
        x.source_end != y.source_end || x.output_begin != y.output_begin ||
        x.replacement_begin != y.replacement_begin || x.output_end != y.output_end) {
      return false;
    }
  }
  return true;
}

bool same_conversion(const corvexa::memory_conversion& a, const corvexa::memory_conversion& b) {
  return a.output == b.output && a.console == b.console && same_events(a, b) && same_calls(a, b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvexa::call_table calls = corvexa::make_mysql_call_table();
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  corvexa::memory_conversion_options in_place;
  corvexa::memory_conversion_options chunked = corvexa_fuzz::chunked_options(data[0]);
  in_place.width = chunked.width = corvexa::search_width::bytewise;
  const corvexa::memory_conversion reference = corvexa::convert_in_memory(input, calls, in_place);
  for (corvexa::search_width width : corvexa::available_search_widths()) {
    in_place.width = chunked.width = width;
    if (!same_conversion(corvexa::convert_in_memory(input, calls, in_place), reference) ||
        !same_conversion(corvexa::convert_in_memory(input, calls, chunked), reference)) {
      std::abort();
    }
  }
  return 0;
}
