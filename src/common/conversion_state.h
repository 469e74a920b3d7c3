// The record of one conversion run. The driver creates it, the scanner and
// the call rules share it by reference, and it lives for the whole run. It
// ties together the input, the output, where events are reported and the
// one text that outlives a single call: the variable that remembering calls
// store for later calls to use as their default link.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_events.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "common/shared_text.h"

namespace corvexa {

class call_table;
class php_code;
class token_source;

// The call a rule is converting: where it began, and what the rule has said
// of it so far.
struct call_in_progress {
  std::string_view name;  // the row's usual name, once the rule has said it
  bool translated = false;
  std::uint64_t source_begin = 0;
  std::uint64_t output_begin = 0;
  // Where the replacement begins, once the rule starts writing it.
  std::uint64_t replacement_begin = 0;
  bool replacement_started = false;
  // Watched words of the arguments and where the replacement put them.
  std::vector<moved_word> moved_words;
};

struct conversion_state {
  conversion_state(input_buffer& input, output_sink& output, event_sink& event_listener,
                   const call_table& calls)
      : input_stream(input), output_stream(output), events(event_listener), call_names(calls) {}

  input_buffer& input_stream;
  output_sink& output_stream;
  // Warnings, parse errors and advice, for whoever renders them.
  event_sink& events;
  // The calls the block loop hands to rules; empty for a plain copy.
  const call_table& call_names;

  // The last variable read before the latest remembering call; empty
  // until such a call is met. Shared with the block loop's last variable
  // rather than copied from it.
  shared_text remembered_variable;
  call_in_progress current_call;
  // The whole file as PHP reads it, for rules that read a call by PHP's
  // own rules rather than by the seed's tokens; null when the input is
  // streamed.
  const php_code* code = nullptr;
  // The tokens of the PHP block being converted, which a call's rule reads
  // the rest of its call from; null outside the block loop.
  token_source* tokens = nullptr;
  // How many calls' arguments this conversion lies inside: a call in an
  // argument is converted by a conversion of its own.
  unsigned nesting = 0;
};

// Reports an event of the call in progress.
inline void report(conversion_state& state, event_kind kind, std::string_view text = {},
                   std::string_view detail = {}) {
  if (!state.events.reads(kind)) return;
  state.events.report(conversion_event{.kind = kind,
                                       .call = state.current_call.name,
                                       .text = text,
                                       .detail = detail,
                                       .source_offset = state.current_call.source_begin});
}

// Called by a rule right before it writes the replacement of its call.
inline void start_replacement(conversion_state& state) {
  state.current_call.replacement_begin = state.output_stream.position();
  state.current_call.replacement_started = true;
}

}  // namespace corvexa
