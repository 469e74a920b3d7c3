// Runs the complete rules on the fuzz input, read as PHP reads it. Besides
// the sanitizers it checks that every byte outside the calls it replaced
// is copied unchanged and in order, that the calls it replaced do not
// overlap, and that an input without "mysql" in any letter case comes out
// unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "common/byte_streams.h"
#include "common/output_sink.h"
#include "scan/exact_conversion.h"
#include "translate/complete_calls.h"

namespace {

class replaced_calls final : public corvexa::event_sink {
 public:
  replaced_calls() : corvexa::event_sink(corvexa::replacements::read) {}
  void report(const corvexa::conversion_event&) override {}
  void call_replaced(const corvexa::replaced_call& call) override { calls.push_back(call); }
  std::vector<corvexa::replaced_call> calls;
};

bool contains_mysql(std::string_view text) {
  for (std::size_t at = 0; at + 5 <= text.size(); ++at) {
    if (corvexa::equal_ignoring_ascii_case(text.substr(at, 5), "mysql")) return true;
  }
  return false;
}

// True if the bytes between the replaced calls are the input's, in order.
bool copies_everything_else(std::string_view input, std::string_view output,
                            const std::vector<corvexa::replaced_call>& calls) {
  std::uint64_t in = 0, out = 0;
  for (const corvexa::replaced_call& call : calls) {
    if (call.source_begin < in || call.output_begin < out || call.source_end < call.source_begin ||
        call.source_end > input.size() || call.output_end > output.size()) {
      return false;
    }
    std::uint64_t gap = call.source_begin - in;
    if (call.output_begin - out != gap || input.substr(in, gap) != output.substr(out, gap)) {
      return false;
    }
    in = call.source_end;
    out = call.output_end;
  }
  return input.substr(in) == output.substr(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvexa::call_table calls = corvexa::make_complete_call_table();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string output;
  corvexa::string_writer writer(output);
  corvexa::output_sink sink(writer);
  replaced_calls events;
  corvexa::convert_code_exactly(input, sink, events, calls);
  sink.flush();
  if (!copies_everything_else(input, output, events.calls)) std::abort();
  if (!contains_mysql(input) && output != input) std::abort();
  return 0;
}
