// Brackets are paired with one stack over the file; a closing bracket that
// does not match the open one leaves both unpaired rather than guessing.
#include "sql/php_code.h"

namespace corvexa::sql {
namespace {

char closer_of(char c) { return c == '(' ? ')' : c == '[' ? ']' : c == '{' ? '}' : '\0'; }

}  // namespace

php_code::php_code(std::string_view source) : text(source) {
  tokens = php_tokens(text);
  partner.assign(tokens.size(), no_partner);
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != php_token_kind::symbol || tokens[i].length != 1) continue;
    char c = text[tokens[i].offset];
    if (closer_of(c) != '\0') {
      open.push_back(i);
    } else if (c == ')' || c == ']' || c == '}') {
      if (open.empty()) continue;
      if (closer_of(text[tokens[open.back()].offset]) == c) {
        partner[open.back()] = i;
        partner[i] = open.back();
        open.pop_back();
      } else {
        // A mismatch: the brackets after the last good pair are not trusted.
        open.clear();
      }
    }
  }
}

bool php_code::is_word(std::size_t i, std::string_view word) const {
  if (i >= tokens.size() || tokens[i].kind != php_token_kind::word ||
      tokens[i].length != word.size()) {
    return false;
  }
  for (std::size_t k = 0; k < word.size(); ++k) {
    char c = text[tokens[i].offset + k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[k]) return false;
  }
  return true;
}

std::vector<std::pair<std::size_t, std::size_t>> split_arguments(const php_code& code,
                                                                 std::size_t open) {
  std::vector<std::pair<std::size_t, std::size_t>> arguments;
  std::size_t close = code.partner[open];
  if (close == php_code::no_partner || close == open + 1) return arguments;
  std::size_t first = open + 1;
  for (std::size_t i = first; i < close; ++i) {
    if (code.partner[i] != php_code::no_partner && code.partner[i] > i) {
      i = code.partner[i];
    } else if (code.is_symbol(i, ',')) {
      arguments.emplace_back(first, i);
      first = i + 1;
    }
  }
  arguments.emplace_back(first, close);
  return arguments;
}

std::uint64_t closing_bracket(std::string_view php, std::uint64_t from, std::uint64_t end,
                              char open, char close, int depth) {
  for (std::uint64_t i = from; i < end; ++i) {
    char c = php[i];
    if (c == '\'' || c == '"') {
      for (++i; i < end && php[i] != c; ++i) {
        if (php[i] == '\\') ++i;
      }
    } else if (c == open) {
      ++depth;
    } else if (c == close && --depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace corvexa::sql
