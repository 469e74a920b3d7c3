// Tokens are in text order, so a token is found by binary search.
#include "sql/sql_token_view.h"

#include <algorithm>

namespace corvexa::sql {

sql_token_view::sql_token_view(std::string_view text, const std::vector<sql_token>& tokens)
    : text_(text), tokens_(tokens), closing_(tokens.size(), none) {
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < tokens_.size(); ++i) {
    if (is_char(i, '(')) {
      open.push_back(i);
    } else if (is_char(i, ')') && !open.empty()) {
      closing_[open.back()] = i;
      open.pop_back();
    }
  }
}

bool sql_token_view::is(std::size_t i, std::string_view lower_word) const {
  if (i >= tokens_.size()) return false;
  std::string_view b = bytes(i);
  if (b.size() != lower_word.size()) return false;
  for (std::size_t k = 0; k < b.size(); ++k) {
    char c = b[k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_word[k]) return false;
  }
  return true;
}

bool sql_token_view::is_char(std::size_t i, char c) const {
  return i < tokens_.size() && tokens_[i].end == tokens_[i].begin + 1 &&
         text_[tokens_[i].begin] == c;
}

std::size_t sql_token_view::starting_at(std::size_t offset) const {
  auto found = std::lower_bound(tokens_.begin(), tokens_.end(), offset,
                                [](const sql_token& t, std::size_t at) { return t.begin < at; });
  if (found == tokens_.end() || found->begin != offset) return none;
  return static_cast<std::size_t>(found - tokens_.begin());
}

std::size_t sql_token_view::closing_paren(std::size_t open) const {
  return open < closing_.size() ? closing_[open] : none;
}

std::vector<std::size_t> sql_token_view::commas_between(std::size_t open, std::size_t close) const {
  std::vector<std::size_t> commas;
  int depth = 0;
  for (std::size_t i = open + 1; i < close; ++i) {
    if (is_char(i, '(') || is_char(i, '[')) {
      ++depth;
    } else if (is_char(i, ')') || is_char(i, ']')) {
      --depth;
    } else if (depth == 0 && is_char(i, ',')) {
      commas.push_back(i);
    }
  }
  return commas;
}

}  // namespace corvexa::sql
