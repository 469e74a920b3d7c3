// ASCII letter case, the only case the converter knows: PHP's function
// names and SQL's keywords ignore the case of ASCII letters and of nothing
// else.
#pragma once

#include <cstring>
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

inline std::string ascii_uppered(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = ascii_upper(c);
  return upper;
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
// are nearly always written in one case, which a fast search finds first;
// otherwise only the places of its first letter, in either case, are
// compared, found by memchr rather than a byte at a time.
inline bool contains_ignoring_ascii_case(std::string_view text, std::string_view lower_word) {
  if (lower_word.empty() || text.find(lower_word) != std::string_view::npos) return true;
  if (text.size() < lower_word.size()) return false;
  const char* last_start = text.data() + (text.size() - lower_word.size());
  auto next = [last_start](const char* from, char c) {
    return from > last_start ? nullptr
                             : static_cast<const char*>(std::memchr(
                                   from, c, static_cast<std::size_t>(last_start - from) + 1));
  };
  char lower = lower_word[0], upper = ascii_upper(lower);
  const char* at_lower = next(text.data(), lower);
  const char* at_upper = upper == lower ? nullptr : next(text.data(), upper);
  while (at_lower != nullptr || at_upper != nullptr) {
    const char* at =
        at_upper == nullptr || (at_lower != nullptr && at_lower < at_upper) ? at_lower : at_upper;
    if (equal_ignoring_ascii_case(std::string_view(at, lower_word.size()), lower_word)) return true;
    if (at == at_lower) at_lower = next(at + 1, lower);
    if (at == at_upper) at_upper = next(at + 1, upper);
  }
  return false;
}

}  // namespace corvexa
