// corvexa's console: renders the events of a conversion as the messages
// that the user reads on standard output, one event at a time, in the order
// in which they happen.
#pragma once

#include <string_view>

#include "common/conversion_events.h"
#include "common/output_sink.h"
#include "translate/table_settings.h"

namespace corvexa {

// What the messages quote back to the user besides the event itself.
struct console_context {
  std::string_view database_name = default_database_name;
  std::string_view input_path = "in.php";
  std::string_view output_path = "out.php";
};

class console_report final : public event_sink {
 public:
  // The kinds that have a console text; the others are never reported.
  static constexpr event_kinds shown = {event_kind::unsupported_call, event_kind::parse_error,
                                        event_kind::advice};

  console_report(output_sink& console, const console_context& context)
      : event_sink(replacements::ignored, shown), console_(console), context_(context) {}
  void report(const conversion_event& event) override;

 private:
  void report_advice(const conversion_event& event);

  output_sink& console_;
  console_context context_;
};

}  // namespace corvexa
