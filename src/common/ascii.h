// ASCII letter case, the only case the converter knows: PHP's function
// names and SQL's keywords ignore the case of ASCII letters and of nothing
// else.
#pragma once

#include <string>
#include <string_view>

namespace corvexa {

constexpr char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char ascii_upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string ascii_lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = ascii_lower(c);
  return lower;
}

// True if `a` and `b` are equal once their ASCII capitals are lowered.
constexpr bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

// True if `text` holds `lower_word` (lower case) in any letter case. Words
// are nearly always written in one case, which a fast search finds first.
inline bool contains_ignoring_ascii_case(std::string_view text, std::string_view lower_word) {
  if (lower_word.empty() || text.find(lower_word) != std::string_view::npos) return true;
  for (std::size_t at = 0; at + lower_word.size() <= text.size(); ++at) {
    if (ascii_lower(text[at]) == lower_word[0] &&
        equal_ignoring_ascii_case(text.substr(at, lower_word.size()), lower_word))
      return true;
  }
  return false;
}

}  // namespace corvexa
