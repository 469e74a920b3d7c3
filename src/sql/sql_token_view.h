// Reading a SQL text through its scanner tokens: a token's bytes, keywords
// in any letter case, parentheses and the commas between arguments. The
// rewrites find the places they edit with it.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "sql/sql_parser.h"

namespace corvexa::sql {

class sql_token_view {
 public:
  static constexpr std::size_t none = static_cast<std::size_t>(-1);

  sql_token_view(std::string_view text, const std::vector<sql_token>& tokens);

  std::size_t size() const { return tokens_.size(); }
  const sql_token& operator[](std::size_t i) const { return tokens_[i]; }
  std::string_view text() const { return text_; }
  std::string_view bytes(std::size_t i) const {
    return text_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
  }
  // Token i is `lower_word` in any letter case.
  bool is(std::size_t i, std::string_view lower_word) const;
  // Token i is one of `lower_words`, in any letter case.
  bool is_any(std::size_t i, std::initializer_list<std::string_view> lower_words) const {
    for (std::string_view word : lower_words) {
      if (is(i, word)) return true;
    }
    return false;
  }
  bool is_char(std::size_t i, char c) const;
  // The index of the token that starts at byte `offset`, or none.
  std::size_t starting_at(std::size_t offset) const;
  // The ")" that closes the "(" at `open`, or none.
  std::size_t closing_paren(std::size_t open) const;
  // The commas between `open` and `close` outside nested parentheses.
  std::vector<std::size_t> commas_between(std::size_t open, std::size_t close) const;

 private:
  std::string_view text_;
  const std::vector<sql_token>& tokens_;
  std::vector<std::size_t> closing_;  // for each "(", its ")"; none otherwise
};

}  // namespace corvexa::sql
