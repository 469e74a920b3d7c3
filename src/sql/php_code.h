// The tokens of code of one PHP file, with each bracket paired with the one
// that closes it: what the search for query texts walks and evaluates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "scan/php_lexer.h"

namespace corvexa::sql {

struct php_code {
  std::string_view text;
  std::vector<php_token> tokens;
  // For each "(", "[" or "{" the index of the token that closes it, and back;
  // `no_partner` for an unpaired one and for every other token.
  std::vector<std::size_t> partner;
  static constexpr std::size_t no_partner = static_cast<std::size_t>(-1);

  explicit php_code(std::string_view text);

  std::string_view token_text(std::size_t i) const {
    return text.substr(tokens[i].offset, tokens[i].length);
  }
  bool is_symbol(std::size_t i, char c) const {
    return i < tokens.size() && tokens[i].kind == php_token_kind::symbol && tokens[i].length == 1 &&
           text[tokens[i].offset] == c;
  }
  // A word equal to lower-case `word` in any letter case.
  bool is_word(std::size_t i, std::string_view word) const;
  // True if token i + 1 starts right where token i ends.
  bool adjacent(std::size_t i) const {
    return i + 1 < tokens.size() && tokens[i].offset + tokens[i].length == tokens[i + 1].offset;
  }
  // True if token i is the "->" or "?->" of a member access ending at it.
  bool ends_member_arrow(std::size_t i) const {
    return i >= 1 && is_symbol(i, '>') && is_symbol(i - 1, '-') && adjacent(i - 1);
  }
  std::uint64_t end_of(std::size_t i) const { return tokens[i].offset + tokens[i].length; }
};

// Splits the tokens between an opening bracket `open` and its partner at the
// commas outside nested brackets: the [first, last) token range of each
// argument. Empty for "()".
std::vector<std::pair<std::size_t, std::size_t>> split_arguments(const php_code& code,
                                                                 std::size_t open);

// The place of the `close` that balances the brackets from `from` on, with
// `depth` of them open before it; PHP strings ('...' and "...", backslashes
// included) are stepped over whole. npos when none closes before `end`.
std::uint64_t closing_bracket(std::string_view php, std::uint64_t from, std::uint64_t end,
                              char open, char close, int depth);

}  // namespace corvexa::sql
