// get_token: whitespace is skipped, and the token taken, in runs of bytes
// straight from the input buffer.
#include "scan/tokenizer.h"

#include "scan/char_classes.h"
#include "scan/char_source.h"

namespace corvexa {
namespace {

// Skips whitespace, echoing it unless `quiet`, and returns the first byte
// after it (consumed), or end_of_input.
int skip_whitespace(conversion_state& state, bool quiet) {
  auto first_token_byte = [](std::string_view window) {
    for (std::size_t i = 0; i < window.size(); ++i) {
      if (!has_class(window[i], whitespace)) return i;
    }
    return std::string_view::npos;
  };
  auto echo = [&](std::string_view span) {
    if (!quiet) state.output_stream.write(span);
  };
  if (!take_run(state.input_stream, first_token_byte, echo)) return end_of_input;
  return next_char(state);
}

}  // namespace

bool get_token(conversion_state& state, byte_text& token, bool quiet) {
  token.clear();
  int first = skip_whitespace(state, quiet);
  if (first == end_of_input) return false;
  token.push_back(static_cast<char>(first));
  token_cutter cutter(static_cast<char>(first));
  take_token_rest(state.input_stream, cutter,
                  [&](std::string_view span) { token.append(span); });
  return true;
}

void copy_quoted_token(conversion_state& state) {
  int quote = next_char(state);
  if (quote == end_of_input) return;
  state.output_stream.put(static_cast<char>(quote));
  token_cutter cutter(static_cast<char>(quote));
  take_token_rest(state.input_stream, cutter, [&](std::string_view span) {
    state.output_stream.write(span);
  });
}

}  // namespace corvexa
