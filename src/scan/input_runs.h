// The one loop that walks the input buffer window by window: hand a run of
// input to a taker span by span, as the buffer holds it, until a finder
// says where the run ends. Comments, text outside blocks, whitespace and
// the rest of a token are all read this way; only what to look for and
// where the bytes go differ.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/input_buffer.h"

namespace corvexa {

// `find_end(window)` returns how many bytes of the window the run still
// takes when it ends within the window, or npos when it takes the whole
// window and may go on. Each span is handed to `take(span)` and consumed.
// Returns true when the run ended, false when the input did first.
template <typename FindEnd, typename Take>
bool take_run(input_buffer& input, FindEnd find_end, Take take) {
  for (;;) {
    std::string_view window = input.window();
    if (window.empty()) return false;
    std::size_t end = find_end(window);
    std::size_t taken = end == std::string_view::npos ? window.size() : end;
    take(window.substr(0, taken));
    input.consume(taken);
    if (end != std::string_view::npos) return true;
  }
}

}  // namespace corvexa
