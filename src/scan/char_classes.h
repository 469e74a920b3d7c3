// The byte classes of PHP code as the tokenizer sees them, in one table so
// that the tokenizer and the block loop's fast path cut tokens alike.
#pragma once

#include <array>

namespace corvexa {

enum char_class : unsigned char {
  whitespace = 1,      // tab, line feed, carriage return, space
  starts_name = 2,     // "$", digit, ASCII letter: variable, number, word
  continues_name = 4,  // digit, ASCII letter, and every byte from "_" (95) up
  starts_quoted = 8,   // single or double quote
  // May start a token of more than one byte: the bytes above and "/" and
  // "?". Every other byte is whitespace or a token of its own.
  starts_long_token = 16,
};

constexpr std::array<unsigned char, 256> make_char_classes() {
  std::array<unsigned char, 256> table{};
  for (unsigned char c : {'\t', '\n', '\r', ' '}) table[c] |= whitespace;
  for (unsigned char c : {'\'', '"'}) table[c] |= starts_quoted;
  table['$'] |= starts_name;
  for (int c = 0; c < 256; ++c) {
    bool digit = c >= '0' && c <= '9';
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (digit || letter) table[c] |= starts_name | continues_name;
    if (c >= '_') table[c] |= continues_name;
    if ((table[c] & (starts_name | starts_quoted)) != 0 || c == '/' ||
        c == '?') {
      table[c] |= starts_long_token;
    }
  }
  return table;
}

inline constexpr std::array<unsigned char, 256> char_classes =
    make_char_classes();

inline bool has_class(char c, char_class wanted) {
  return (char_classes[static_cast<unsigned char>(c)] & wanted) != 0;
}

}  // namespace corvexa
