// Reading a statement's tokens.
#include "schema/token_cursor.h"

#include <algorithm>

#include "schema/mysql_literals.h"

namespace corvexa::schema {

bool same_word(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

std::string token_name(const token& t, std::string_view text) {
  if (t.kind == token_kind::quoted_name) return decode_quoted_name(text);
  return std::string(text);
}

token_cursor::token_cursor(const std::vector<token>& tokens, const sql_source& source,
                           std::size_t begin, std::size_t end)
    : tokens_(tokens), source_(source), index_(begin), end_(std::min(end, tokens.size())) {
  std::uint64_t last = end_ > 0 ? tokens_[end_ - 1].end : 0;
  end_token_ = {token_kind::end_of_statement, 0, last, last};
}

const token& token_cursor::peek(std::size_t ahead) const {
  return index_ + ahead < end_ ? tokens_[index_ + ahead] : end_token_;
}

bool token_cursor::is_word(std::string_view upper, std::size_t ahead) const {
  const token& t = peek(ahead);
  return t.kind == token_kind::word && same_word(text(t), upper);
}

bool token_cursor::is_punct(char c, std::size_t ahead) const {
  const token& t = peek(ahead);
  return t.kind == token_kind::punct && source_.at(t.begin) == static_cast<unsigned char>(c);
}

bool token_cursor::accept(std::string_view upper) {
  if (upper.size() == 1 && !(upper[0] >= 'A' && upper[0] <= 'Z')) return accept_punct(upper[0]);
  if (!is_word(upper)) return false;
  ++index_;
  return true;
}

bool token_cursor::accept_punct(char c) {
  if (!is_punct(c)) return false;
  ++index_;
  return true;
}

bool token_cursor::accept_all(std::initializer_list<std::string_view> uppers) {
  std::size_t ahead = 0;
  for (std::string_view upper : uppers) {
    if (!is_word(upper, ahead++)) return false;
  }
  index_ += uppers.size();
  return true;
}

bool token_cursor::is_name(std::size_t ahead) const {
  token_kind kind = peek(ahead).kind;
  return kind == token_kind::word || kind == token_kind::quoted_name;
}

bool token_cursor::take_group(std::size_t& inner_begin, std::size_t& inner_end) {
  if (!is_punct('(')) return false;
  std::size_t start = index_;
  int depth = 0;
  for (std::size_t i = index_; i < end_; ++i) {
    const token& t = tokens_[i];
    if (t.kind != token_kind::punct) continue;
    unsigned char c = source_.at(t.begin);
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) {
      inner_begin = start + 1;
      inner_end = i;
      index_ = i + 1;
      return true;
    }
  }
  return false;
}

void token_cursor::skip_to_comma() {
  int depth = 0;
  for (; index_ < end_; ++index_) {
    const token& t = tokens_[index_];
    if (t.kind != token_kind::punct) continue;
    unsigned char c = source_.at(t.begin);
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth <= 0) return;
  }
}

}  // namespace corvexa::schema
