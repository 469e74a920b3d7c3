// Comment bodies are copied as runs of bytes straight from the input buffer.
#include "scan/comment_copier.h"

namespace corvexa {
namespace {

// Copies input up to and including the first byte for which
// `ends_at(byte, byte before it)` holds. `previous` is the byte taken to
// precede the first input byte.
template <typename EndTest>
void copy_until(conversion_state& state, char previous, EndTest ends_at) {
  input_buffer& input = state.input_stream;
  for (;;) {
    std::string_view window = input.window();
    if (window.empty()) return;
    for (std::size_t i = 0; i < window.size(); ++i) {
      if (ends_at(window[i], previous)) {
        state.output_stream.write(window.substr(0, i + 1));
        input.consume(i + 1);
        return;
      }
      previous = window[i];
    }
    state.output_stream.write(window);
    input.consume(window.size());
  }
}

}  // namespace

void copy_comment(conversion_state& state, std::string_view opener) {
  state.output_stream.write(opener);
  if (opener == "/*") {
    // The opener's own "*" does not count: "/*/" does not close.
    copy_until(state, '\0', [](char c, char before) {
      return c == '/' && before == '*';
    });
  } else {
    copy_until(state, '\0', [](char c, char) {
      return c == '\n' || c == '\r';
    });
  }
}

}  // namespace corvexa
