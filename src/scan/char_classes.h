// The byte classes of PHP code as the token cutter sees them. Each class is
// written down once, as a list of byte ranges; the 256-entry table that the
// byte-at-a-time code looks bytes up in is built from these lists, and so
// are the wide searches of byte_search.cc, so the two can never disagree.
#pragma once

#include <array>
#include <span>

namespace corvexa {

// The bytes from `low` to `high`, both included.
struct byte_range {
  unsigned char low;
  unsigned char high;
};

// Tab, line feed, carriage return and space. Vertical tab and form feed are
// tokens of their own.
inline constexpr byte_range whitespace_bytes[] = {{'\t', '\n'}, {'\r', '\r'}, {' ', ' '}};
// "$", a digit or an ASCII letter starts a variable, a number or a word.
inline constexpr byte_range name_start_bytes[] = {{'$', '$'}, {'0', '9'}, {'A', 'Z'}, {'a', 'z'}};
// A word starts with an ASCII letter.
inline constexpr byte_range word_start_bytes[] = {{'A', 'Z'}, {'a', 'z'}};
// A name goes on over digits, capital letters and every byte from "_" (95)
// up, which takes in the small letters.
inline constexpr byte_range name_continue_bytes[] = {{'0', '9'}, {'A', 'Z'}, {'_', 0xFF}};
// A single or a double quote starts a string.
inline constexpr byte_range quote_bytes[] = {{'\'', '\''}, {'"', '"'}};
// The first bytes of the tokens that the block loop must see whole, words
// and variables aside: "/" (perhaps a comment), "?" (perhaps the block
// closer), and the quotes, since a string hides whatever it holds. Every
// other token passes through unless it is a word that names a call or a
// variable, which begins with "$" (see token_meaning.h); variables matter
// only once a call turns up, so the pre-scan marks them apart. This list is
// the one place that says so: the class table, the byte-at-a-time pre-scan
// and the wide ones are all built from it.
inline constexpr byte_range watched_first_bytes[] = {
    {'"', '"'}, {'\'', '\''}, {'/', '/'}, {'?', '?'}};

enum char_class : unsigned char {
  whitespace = 1,
  starts_name = 2,
  continues_name = 4,
  starts_quoted = 8,
  starts_word = 16,
  starts_watched = 32,  // a byte of watched_first_bytes
};

constexpr void mark(std::array<unsigned char, 256>& table, std::span<const byte_range> ranges,
                    unsigned char classes) {
  for (byte_range range : ranges) {
    for (int c = range.low; c <= range.high; ++c) table[c] |= classes;
  }
}

constexpr std::array<unsigned char, 256> make_char_classes() {
  std::array<unsigned char, 256> table{};
  mark(table, whitespace_bytes, whitespace);
  mark(table, name_start_bytes, starts_name);
  mark(table, word_start_bytes, starts_word);
  mark(table, name_continue_bytes, continues_name);
  mark(table, quote_bytes, starts_quoted);
  mark(table, watched_first_bytes, starts_watched);
  return table;
}

inline constexpr std::array<unsigned char, 256> char_classes = make_char_classes();

inline bool has_class(char c, char_class wanted) {
  return (char_classes[static_cast<unsigned char>(c)] & wanted) != 0;
}

// Every class of `c` at once, for a loop that asks several of one byte.
inline unsigned char classes_of(char c) { return char_classes[static_cast<unsigned char>(c)]; }

}  // namespace corvexa
