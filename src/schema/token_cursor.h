// A statement's tokens (comments left out) and a cursor that reads them the
// way a hand-written parser of MySQL's DDL does: peek, accept a keyword or
// a punctuation byte, skip a parenthesised group. Past the
// last token it stands on an end_of_statement token.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "schema/mysql_lexer.h"
#include "schema/sql_source.h"

namespace corvexa::schema {

// True if `text` is `upper` in any letter case (`upper` in capitals).
bool same_word(std::string_view text, std::string_view upper);

class token_cursor {
 public:
  token_cursor(const std::vector<token>& tokens, const sql_source& source, std::size_t begin = 0,
               std::size_t end = SIZE_MAX);

  bool at_end() const { return index_ >= end_; }
  std::size_t index() const { return index_; }
  void seek(std::size_t index) { index_ = index; }
  std::size_t end() const { return end_; }

  const token& peek(std::size_t ahead = 0) const;
  std::string_view text(const token& t) const { return source_.text(t.begin, t.end); }
  // The offset of the token the cursor stands on (or of the statement's end).
  std::uint64_t offset() const { return peek().begin; }

  bool is_word(std::string_view upper, std::size_t ahead = 0) const;
  bool is_punct(char c, std::size_t ahead = 0) const;
  // Consumes the word or punctuation if it is next.
  bool accept(std::string_view upper);
  bool accept_punct(char c);
  // Consumes the words if they all come next, in order.
  bool accept_all(std::initializer_list<std::string_view> uppers);
  const token& take() { return at_end() ? peek() : tokens_[index_++]; }

  // True if the next token is a name: a word or a quoted name.
  bool is_name(std::size_t ahead = 0) const;
  // With the cursor on '(', moves past its ')' and returns the index range
  // of the tokens between; false if there is no '(' or no ')'.
  bool take_group(std::size_t& inner_begin, std::size_t& inner_end);
  // Moves to the next ',' at this depth (not past it) or to the end.
  void skip_to_comma();

 private:
  const std::vector<token>& tokens_;
  const sql_source& source_;
  std::size_t index_;
  std::size_t end_;
  token end_token_;
};

// The raw name a word or quoted-name token stands for.
std::string token_name(const token& t, std::string_view text);

}  // namespace corvexa::schema
