// Text outside blocks is copied as runs of bytes: the copier looks for a "?"
// whose preceding byte of copied text is "<", and writes everything up to it
// in one span.
#include "scan/text_copier.h"

#include <cstring>
#include <string_view>

#include "scan/php_block.h"

namespace corvexa {

void copy_text(conversion_state& state) {
  input_buffer& input = state.input_stream;
  // The byte of copied text before the window; a block's end counts as
  // none, so its "?>" cannot pair with a following "?".
  char previous = '\0';
  for (;;) {
    std::string_view window = input.window();
    if (window.empty()) return;
    std::size_t from = 0;
    std::size_t opener_end = std::string_view::npos;
    while (from < window.size()) {
      const void* found =
          std::memchr(window.data() + from, '?', window.size() - from);
      if (found == nullptr) break;
      std::size_t at = static_cast<std::size_t>(
          static_cast<const char*>(found) - window.data());
      char before = at == 0 ? previous : window[at - 1];
      if (before == '<') {
        opener_end = at + 1;
        break;
      }
      from = at + 1;
    }
    if (opener_end == std::string_view::npos) {
      state.output_stream.write(window);
      input.consume(window.size());
      previous = window.back();
      continue;
    }
    state.output_stream.write(window.substr(0, opener_end));
    input.consume(opener_end);
    convert_php_block(state);
    previous = '\0';
  }
}

}  // namespace corvexa
