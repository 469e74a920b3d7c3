// Text outside blocks is copied as runs of bytes: the copier looks for a "?"
// whose preceding byte of copied text is "<", and writes everything up to it
// in one span.
#include "scan/text_copier.h"

#include <string_view>

#include "scan/input_runs.h"
#include "scan/php_block.h"

namespace corvexa {

void copy_text(conversion_state& state) {
  // The byte of copied text before the window; a block's end counts as
  // none, so its "?>" cannot pair with a following "?".
  char previous = '\0';
  auto opener_end = [&previous](std::string_view window) {
    for (std::size_t at = window.find('?'); at != std::string_view::npos;
         at = window.find('?', at + 1)) {
      if ((at == 0 ? previous : window[at - 1]) == '<') return at + 1;
    }
    previous = window.back();
    return std::string_view::npos;
  };
  auto write = [&](std::string_view span) { state.output_stream.write(span); };
  while (take_run(state.input_stream, opener_end, write)) {
    convert_php_block(state);
    previous = '\0';
  }
}

}  // namespace corvexa
