// The call in progress is set up before the rule runs and described to the
// event sink after it.
#include "scan/run_call.h"

namespace corvexa {

void run_call(conversion_state& state, const call_entry& call, const shared_text& last_variable,
              std::uint64_t name_offset) {
  if (call.remembers) state.remembered_variable = last_variable;
  call_in_progress& current = state.current_call;
  // Field by field, so that the moved words keep their block for the next
  // call.
  current.translated = false;
  current.replacement_begin = 0;
  current.replacement_started = false;
  current.moved_words.clear();
  current.name = call.name;
  current.source_begin = name_offset;
  current.output_begin = state.output_stream.position();
  call.rule(state);
  if (!state.events.reads_replaced_calls()) return;
  replaced_call replaced;
  replaced.name = current.name;
  replaced.translated = current.translated;
  replaced.source_begin = current.source_begin;
  replaced.source_end = state.input_stream.position();
  replaced.output_begin = current.output_begin;
  replaced.replacement_begin =
      current.replacement_started ? current.replacement_begin : current.output_begin;
  replaced.output_end = state.output_stream.position();
  replaced.moved_words = current.moved_words;
  state.events.call_replaced(replaced);
}

}  // namespace corvexa
