// Questions about a token are answered from its neighbours in the token
// list: what stands before a name says whether it is declared or a member,
// what follows it whether it is called.
#include "scan/php_code.h"

#include <algorithm>

#include "common/ascii.h"

namespace corvexa {
namespace {

// Words after which a name is being declared or created, not called or read.
constexpr std::string_view declaring_words[] = {
    "function", "new",       "const", "class",   "interface",  "trait",     "enum", "instanceof",
    "goto",     "namespace", "use",   "extends", "implements", "insteadof", "as"};

}  // namespace

php_code::php_code(std::string_view text) : text_(text), tokens_(php_tokens(text)) {
  match_brackets();
}

void php_code::match_brackets() {
  closer_.assign(tokens_.size(), unmatched);
  // A file of more tokens than an index holds is left unmatched: no list
  // in it is read.
  if (tokens_.size() >= unmatched) return;
  std::vector<std::uint32_t> open;
  for (std::size_t i = 0; i < tokens_.size(); ++i) {
    const php_token& token = tokens_[i];
    if (token.kind == php_token_kind::open_tag || token.kind == php_token_kind::open_echo_tag ||
        token.kind == php_token_kind::close_tag) {
      open.clear();  // a list never runs out of its PHP block
      continue;
    }
    if (token.kind != php_token_kind::symbol || token.length != 1) continue;
    char c = text_[token.offset];
    if (c == '(' || c == '[' || c == '{') {
      open.push_back(static_cast<std::uint32_t>(i));
      continue;
    }
    char opener = c == ')' ? '(' : c == ']' ? '[' : c == '}' ? '{' : '\0';
    // A closer of another kind than the last bracket opened closes nothing.
    if (opener == '\0' || open.empty() || text_[tokens_[open.back()].offset] != opener) continue;
    closer_[open.back()] = static_cast<std::uint32_t>(i);
    open.pop_back();
  }
}

std::size_t php_code::first_token_from(std::uint64_t offset) const {
  auto found =
      std::lower_bound(tokens_.begin(), tokens_.end(), offset,
                       [](const php_token& token, std::uint64_t at) { return token.offset < at; });
  return static_cast<std::size_t>(found - tokens_.begin());
}

std::size_t php_code::token_at(std::uint64_t offset) const {
  std::size_t index = first_token_from(offset);
  return index < tokens_.size() && tokens_[index].offset == offset ? index : tokens_.size();
}

std::size_t php_code::name_at(std::uint64_t offset) const {
  std::size_t index = token_at(offset);
  return is_symbol(index, '\\') ? index + 1 : index;
}

bool php_code::globally_qualified(std::size_t index) const {
  return index > 0 && index < tokens_.size() && is_symbol(index - 1, '\\') &&
         tokens_[index - 1].offset + 1 == tokens_[index].offset;
}

bool php_code::is_symbol(std::size_t index, char c) const {
  if (index >= tokens_.size()) return false;
  const php_token& token = tokens_[index];
  return token.kind == php_token_kind::symbol && token.length == 1 && text_[token.offset] == c;
}

bool php_code::is_word(std::size_t index, std::string_view lower_word) const {
  return index < tokens_.size() && tokens_[index].kind == php_token_kind::word &&
         equal_ignoring_ascii_case(text_of(tokens_[index]), lower_word);
}

// After "->", "?->", "::", a declaring word, or a namespace's "\" that
// follows a name: a member, a declaration or another namespace's name.
bool php_code::is_declared_or_member(std::size_t index) const {
  if (index == 0) return false;
  std::size_t before = index - 1;
  const php_token& previous = tokens_[before];
  if (previous.kind == php_token_kind::symbol && text_of(previous) == "::") return true;
  if (is_symbol(before, '>') && before > 0 && is_symbol(before - 1, '-') &&
      tokens_[before - 1].offset + 1 == previous.offset) {
    return true;
  }
  if (is_symbol(before, '\\')) {
    return before > 0 && tokens_[before - 1].kind == php_token_kind::word &&
           tokens_[before - 1].offset + tokens_[before - 1].length == previous.offset;
  }
  for (std::string_view word : declaring_words) {
    if (is_word(before, word)) return true;
  }
  return false;
}

name_use php_code::use_of(std::size_t index) const {
  if (index >= tokens_.size() || tokens_[index].kind != php_token_kind::word) {
    return name_use::other;
  }
  if (is_declared_or_member(index)) return name_use::other;
  if (is_symbol(index + 1, '(')) return name_use::call;
  // A name followed by "::" is a class; one before "\" a namespace.
  if (index + 1 < tokens_.size() &&
      (text_of(tokens_[index + 1]) == "::" || is_symbol(index + 1, '\\'))) {
    return name_use::other;
  }
  return name_use::constant;
}

argument_list php_code::arguments_of(std::size_t index) const {
  argument_list list;
  std::size_t open = index + 1;
  list.end = text_.size();
  if (!is_symbol(open, '(') || closer_[open] == unmatched) return list;
  std::size_t close = closer_[open];
  std::uint64_t argument_begin = tokens_[open].offset + 1;
  bool empty = true;  // no token since "(" or the last ","
  for (std::size_t i = open + 1; i < close; ++i) {
    if (is_symbol(i, ',')) {
      list.arguments.push_back({argument_begin, tokens_[i].offset});
      argument_begin = tokens_[i].offset + 1;
      empty = true;
      continue;
    }
    empty = false;
    if (closer_[i] != unmatched) i = closer_[i];  // over a nested bracket, whole
  }
  // "()" has no argument, and a comma may end the last one.
  if (!empty) list.arguments.push_back({argument_begin, tokens_[close].offset});
  list.closed = true;
  list.end = tokens_[close].offset + 1;
  return list;
}

}  // namespace corvexa
