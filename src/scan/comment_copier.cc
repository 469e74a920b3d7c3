// Comment bodies are copied as runs of bytes straight from the input buffer.
#include "scan/comment_copier.h"

#include <algorithm>

namespace corvexa {
namespace {

// Copies input up to and including the byte at which the comment ends.
// `find_end(window, before)` gives that byte's place in the window, or npos;
// `before` is the byte that preceded the window ('\0' at the start).
template <typename EndFinder>
void copy_until(conversion_state& state, char before, EndFinder find_end) {
  input_buffer& input = state.input_stream;
  for (;;) {
    std::string_view window = input.window();
    if (window.empty()) return;
    std::size_t end = find_end(window, before);
    if (end != std::string_view::npos) {
      state.output_stream.write(window.substr(0, end + 1));
      input.consume(end + 1);
      return;
    }
    state.output_stream.write(window);
    input.consume(window.size());
    before = window.back();
  }
}

}  // namespace

void copy_comment(conversion_state& state, std::string_view opener) {
  state.output_stream.write(opener);
  if (opener == "/*") {
    // The opener's own "*" does not count: "/*/" does not close.
    copy_until(state, '\0', [](std::string_view window, char before) {
      for (std::size_t i = window.find('/'); i != std::string_view::npos;
           i = window.find('/', i + 1)) {
        if ((i == 0 ? before : window[i - 1]) == '*') return i;
      }
      return std::string_view::npos;
    });
  } else {
    copy_until(state, '\0', [](std::string_view window, char) {
      std::size_t line_feed = window.find('\n');
      std::size_t carriage_return = window.substr(0, line_feed).find('\r');
      return std::min(line_feed, carriage_return);  // npos if neither
    });
  }
}

}  // namespace corvexa
