// The in-memory conversion: collects the output, corvexa's console text
// and the events, all from one run.
#include "support/memory_conversion.h"

#include <memory>

#include "common/byte_streams.h"
#include "driver/console_report.h"
#include "scan/stream_conversion.h"

namespace corvexa {
namespace {

// Uses a chosen width of the byte searches while it lives, if one is given,
// and puts back the width used before.
class width_for_conversion {
 public:
  explicit width_for_conversion(std::optional<search_width> width)
      : before_(search_width_in_use()) {
    if (width) use_search_width(*width);
  }
  ~width_for_conversion() { use_search_width(before_); }
  width_for_conversion(const width_for_conversion&) = delete;
  width_for_conversion& operator=(const width_for_conversion&) = delete;

 private:
  search_width before_;
};

// Hands every event to the console and records it as well.
class recording_events final : public event_sink {
 public:
  recording_events(event_sink& console, memory_conversion& result)
      : event_sink(replacements::read), console_(console), result_(result) {}
  void report(const conversion_event& event) override {
    console_.report(event);
    result_.events.push_back({event.kind, std::string(event.call), std::string(event.text),
                              event.source_offset, event.advice});
  }
  void call_replaced(const replaced_call& call) override { result_.calls.push_back(call); }

 private:
  event_sink& console_;
  memory_conversion& result_;
};

}  // namespace

memory_conversion convert_in_memory(std::string_view input, const call_table& calls,
                                    const memory_conversion_options& options) {
  memory_conversion result;
  memory_reader reader(input, options.largest_read);
  std::unique_ptr<input_buffer> source =
      options.largest_read == memory_conversion_options::in_place
          ? std::make_unique<input_buffer>(input)
          : std::make_unique<input_buffer>(reader, options.input_capacity);
  string_writer output_writer(result.output);
  string_writer console_writer(result.console);
  discarding_writer nowhere;
  output_sink output(options.discard ? static_cast<byte_writer&>(nowhere) : output_writer,
                     options.output_capacity);
  output_sink console(options.discard ? static_cast<byte_writer&>(nowhere) : console_writer,
                      options.output_capacity);
  console_report messages(console,
                          {options.database_name, options.input_path, options.output_path});
  recording_events recording(messages, result);
  event_sink& events =
      options.discard || !options.record_events ? static_cast<event_sink&>(messages) : recording;
  width_for_conversion width(options.width);
  convert_stream(*source, output, events, calls);
  output.flush();
  console.flush();
  return result;
}

}  // namespace corvexa
