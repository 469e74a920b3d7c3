// The character source of the scanner: the input one byte at a time with one
// byte of lookahead. A byte that was read and turns out to belong to the next
// token is pushed back and read again by whoever reads next.
#pragma once

#include "common/conversion_state.h"

namespace corvexa {

inline constexpr int end_of_input = input_buffer::end_of_input;

// The next input byte (0-255), or end_of_input.
inline int next_char(conversion_state& state) {
  return state.input_stream.next();
}

// Pushes back `c`, the byte next_char has just returned, so that it is read
// again. Pushing back end_of_input leaves nothing pending: the next read
// meets the end again.
inline void push_back(conversion_state& state, int c) {
  if (c != end_of_input) state.input_stream.unread();
}

}  // namespace corvexa
