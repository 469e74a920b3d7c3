// Comment bodies are copied as runs of bytes straight from the input buffer.
#include "scan/comment_copier.h"

#include <algorithm>

#include "scan/input_runs.h"

namespace corvexa {

void copy_comment(conversion_state& state, std::string_view opener) {
  state.output_stream.write(opener);
  auto write = [&](std::string_view span) { state.output_stream.write(span); };
  if (opener == "/*") {
    // The byte before the window; the opener's own "*" does not count, so
    // "/*/" does not close.
    char before = '\0';
    take_run(
        state.input_stream,
        [&before](std::string_view window) {
          for (std::size_t i = window.find('/'); i != std::string_view::npos;
               i = window.find('/', i + 1)) {
            if ((i == 0 ? before : window[i - 1]) == '*') return i + 1;
          }
          before = window.back();
          return std::string_view::npos;
        },
        write);
  } else {
    take_run(
        state.input_stream,
        [](std::string_view window) {
          std::size_t line_feed = window.find('\n');
          std::size_t line_size = line_feed == std::string_view::npos ? window.size() : line_feed;
          std::size_t carriage_return = std::string_view(window.data(), line_size).find('\r');
          std::size_t end = std::min(line_feed, carriage_return);
          return end == std::string_view::npos ? end : end + 1;
        },
        write);
  }
}

}  // namespace corvexa
