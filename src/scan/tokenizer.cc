// get_token: a character-class table picks each token's kind from its first
// byte; the rest of a token, and any whitespace before it, is taken from the
// input buffer as a run of bytes rather than byte by byte.
#include "scan/tokenizer.h"

#include <string_view>

#include "scan/char_classes.h"
#include "scan/char_source.h"
#include "scan/window_token.h"

namespace corvexa {
namespace {

// Skips whitespace, echoing it unless `quiet`, and returns the first byte
// after it (consumed), or end_of_input.
int skip_whitespace(conversion_state& state, bool quiet) {
  input_buffer& input = state.input_stream;
  for (;;) {
    std::string_view window = input.window();
    if (window.empty()) return end_of_input;
    std::size_t run = 0;
    while (run < window.size() && has_class(window[run], whitespace)) ++run;
    if (run > 0) {
      if (!quiet) state.output_stream.write(window.substr(0, run));
      input.consume(run);
    }
    if (run < window.size()) return next_char(state);
  }
}

// Appends the rest of a name-like token (variable, number or word).
void read_name_rest(conversion_state& state, byte_text& token) {
  input_buffer& input = state.input_stream;
  for (;;) {
    std::string_view window = input.window();
    std::size_t run = 0;
    while (run < window.size() && has_class(window[run], continues_name)) ++run;
    token.append(window.substr(0, run));
    input.consume(run);
    if (run < window.size() || window.empty()) return;
  }
}

// Takes the rest of a quoted string up to and including the closing
// `quote`, handing it to `take` in spans. A backslash takes the byte after it
// along, so escaped quotes do not end the string. At the end of the input
// the string ends as read, possibly with a lone backslash as its last byte.
template <typename Take>
void take_quoted_rest(conversion_state& state, char quote, Take take) {
  input_buffer& input = state.input_stream;
  for (;;) {
    std::string_view window = input.window();
    if (window.empty()) return;
    std::size_t run = find_quote_or_backslash(window, 0, quote);
    if (run == window.size()) {
      take(window);
      input.consume(run);
      continue;
    }
    take(window.substr(0, run + 1));
    input.consume(run + 1);
    if (window[run] == quote) return;
    int escaped = next_char(state);
    if (escaped == end_of_input) return;
    char byte = static_cast<char>(escaped);
    take(std::string_view(&byte, 1));
  }
}

// After `first`, appends `second` if it is the next byte, else leaves the
// input as it was: "//", "/*" and "?>" are the only two-byte fixed tokens.
void take_second_byte_if(conversion_state& state, byte_text& token,
                         std::string_view seconds) {
  int c = next_char(state);
  if (c != end_of_input && seconds.find(static_cast<char>(c)) !=
                               std::string_view::npos) {
    token.push_back(static_cast<char>(c));
  } else {
    push_back(state, c);
  }
}

}  // namespace

bool get_token(conversion_state& state, byte_text& token, bool quiet) {
  token.clear();
  return append_token(state, token, quiet);
}

bool append_token(conversion_state& state, byte_text& token, bool quiet) {
  int first = skip_whitespace(state, quiet);
  if (first == end_of_input) return false;
  token.push_back(static_cast<char>(first));
  if (first == '\'' || first == '"') {
    take_quoted_rest(state, static_cast<char>(first),
                     [&](std::string_view span) { token.append(span); });
  } else if (has_class(static_cast<char>(first), starts_name)) {
    read_name_rest(state, token);
  } else if (first == '/') {
    take_second_byte_if(state, token, "/*");
  } else if (first == '?') {
    take_second_byte_if(state, token, ">");
  }
  return true;
}

void copy_quoted_token(conversion_state& state) {
  int quote = next_char(state);
  if (quote == end_of_input) return;
  state.output_stream.put(static_cast<char>(quote));
  take_quoted_rest(state, static_cast<char>(quote), [&](std::string_view span) {
    state.output_stream.write(span);
  });
}

}  // namespace corvexa
