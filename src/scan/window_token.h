// Cutting tokens straight out of the buffered input window. The fast paths
// of the block loop and of the argument reader use this to take whole
// tokens without copying them; a token that the window may not hold
// entirely is left to get_token, which follows it across refills. Both cut
// tokens by the same rules.
#pragma once

#include <cstddef>
#include <string_view>

#include "scan/char_classes.h"

namespace corvexa {

// Where the quoted token starting at window[start] ends (one past its
// closing quote), or 0 if the window may not hold all of it.
std::size_t quoted_token_end(std::string_view window, std::size_t start);

// Where the variable, number or word starting at window[start] ends, or 0
// if it reaches the window's end and so may go on.
inline std::size_t name_token_end(std::string_view window, std::size_t start) {
  std::size_t i = start + 1;
  while (i < window.size() && has_class(window[i], continues_name)) ++i;
  return i < window.size() ? i : 0;
}

// Where the token starting at window[start] (not whitespace) ends, or 0 if
// the window may not hold all of it.
std::size_t token_end(std::string_view window, std::size_t start);

}  // namespace corvexa
