// Token ends within a window, by the tokenizer's rules.
#include "scan/window_token.h"

#include <algorithm>

namespace corvexa {

std::size_t quoted_token_end(std::string_view window, std::size_t start) {
  const char quote = window[start];
  // Most strings are short: look at their first bytes one by one.
  std::size_t i = start + 1;
  const std::size_t short_end = std::min(window.size(), start + 33);
  for (; i < short_end; ++i) {
    if (window[i] == quote) return i + 1;
    if (window[i] == '\\') ++i;  // the escaped byte never closes the string
  }
  // Longer ones: find the closing quote first, then any backslash before it.
  while (i < window.size()) {
    std::size_t close = window.find(quote, i);
    if (close == std::string_view::npos) return 0;
    std::size_t escape = window.substr(0, close).find('\\', i);
    if (escape == std::string_view::npos) return close + 1;
    i = escape + 2;
  }
  return 0;
}

std::size_t token_end(std::string_view window, std::size_t start) {
  char c = window[start];
  if (has_class(c, starts_name)) return name_token_end(window, start);
  if (has_class(c, starts_quoted)) return quoted_token_end(window, start);
  if (c == '/' || c == '?') {
    if (start + 1 == window.size()) return 0;
    char second = window[start + 1];
    bool pair = c == '/' ? (second == '/' || second == '*') : second == '>';
    return start + (pair ? 2 : 1);
  }
  return start + 1;
}

}  // namespace corvexa
