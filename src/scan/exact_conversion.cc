// Walks the code tokens of the span; the bytes between two calls are
// copied as one run straight from the input window, which holds the whole
// span.
#include "scan/exact_conversion.h"

#include "common/shared_text.h"
#include "scan/run_call.h"

namespace corvexa {
namespace {

// True if `use` is the use a rule of `form` applies to.
bool fits(call_form form, name_use use) {
  return (form == call_form::function && use == name_use::call) ||
         (form == call_form::constant && use == name_use::constant);
}

// Copies the input up to `offset`.
void copy_up_to(conversion_state& state, std::uint64_t offset) {
  input_buffer& input = state.input_stream;
  while (input.position() < offset) {
    std::string_view window = input.window();
    if (window.empty()) return;
    std::uint64_t wanted = offset - input.position();
    std::size_t count = wanted < window.size() ? static_cast<std::size_t>(wanted) : window.size();
    state.output_stream.write(window.substr(0, count));
    input.consume(count);
  }
}

}  // namespace

void convert_code_span(conversion_state& state, code_span span) {
  const php_code& code = *state.code;
  const std::vector<php_token>& tokens = code.tokens();
  const shared_text no_variable;
  for (std::size_t i = code.first_token_from(span.begin);
       i < tokens.size() && tokens[i].offset < span.end;) {
    const php_token& token = tokens[i];
    const call_entry* call =
        token.kind == php_token_kind::word ? state.call_names.find(code.text_of(token)) : nullptr;
    if (call == nullptr || !fits(call->form, code.use_of(i))) {
      ++i;
      continue;
    }
    // A "\" before the name is part of the call: the rule writes it only
    // where PHP reads it before the replacement ("\(" is an error).
    std::uint64_t begin = code.globally_qualified(i) ? tokens[i - 1].offset : token.offset;
    copy_up_to(state, begin);
    state.input_stream.consume(static_cast<std::size_t>(token.offset + token.length - begin));
    run_call(state, *call, no_variable, begin);
    // The rule read on to the end of the call; carry on after it.
    i = code.first_token_from(state.input_stream.position());
  }
  copy_up_to(state, span.end);
}

void convert_code_exactly(std::string_view input, output_sink& output, event_sink& events,
                          const call_table& calls) {
  php_code code(input);
  input_buffer source(input);
  conversion_state state(source, output, events, calls);
  state.code = &code;
  convert_code_span(state, {0, input.size()});
}

}  // namespace corvexa
