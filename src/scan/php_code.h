// A whole PHP file as PHP itself reads it: its text and the tokens of its
// code, in order (see php_lexer.h), with the questions that the complete
// conversion asks of them: does this name stand where PHP calls a function
// or reads a constant, and where does the argument list that follows it
// end. Text outside PHP tags, strings, heredocs and comments ("#" ones
// included) hold no tokens, so nothing in them is ever taken for a call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "scan/php_lexer.h"

namespace corvexa {

// The byte span [begin, end) of a text.
struct code_span {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

// How a name is used where it stands in code.
enum class name_use {
  other,     // a method, a property, a declaration, a namespaced name, ...
  call,      // a plain function call: the name, then "("
  constant,  // a plain name read as a value: not called, not declared
};

// The argument list of a call, as PHP reads it.
struct argument_list {
  bool closed = false;  // false if the file ends before its ")"
  // Each argument's bytes between "(" or "," and "," or ")", whitespace
  // and comments included; none for "()".
  std::vector<code_span> arguments;
  std::uint64_t end = 0;  // just past the ")" (or the end of the file)
};

class php_code {
 public:
  explicit php_code(std::string_view text);

  std::string_view text() const { return text_; }
  const std::vector<php_token>& tokens() const { return tokens_; }
  std::string_view text_of(const php_token& token) const {
    return text_.substr(token.offset, token.length);
  }

  // The index of the first token that begins at or after `offset`, or
  // tokens().size().
  std::size_t first_token_from(std::uint64_t offset) const;
  // The index of the token that begins exactly at `offset`, or
  // tokens().size().
  std::size_t token_at(std::uint64_t offset) const;
  // The index of the name of the call or constant that starts at `offset`:
  // the token there, or the one after a "\" that qualifies it as global.
  std::size_t name_at(std::uint64_t offset) const;
  // True if the name token at `index` follows a "\" that makes it global.
  bool globally_qualified(std::size_t index) const;

  // How the word token at `index` is used.
  name_use use_of(std::size_t index) const;

  // The arguments of the call whose name is the token at `index` (which
  // use_of() says is a call).
  argument_list arguments_of(std::size_t index) const;

  // True if token `index` is the one-byte symbol `c`.
  bool is_symbol(std::size_t index, char c) const;

 private:
  bool is_word(std::size_t index, std::string_view lower_word) const;
  bool is_declared_or_member(std::size_t index) const;
  // Pairs every bracket with the one that closes it, within its PHP block.
  void match_brackets();

  static constexpr std::uint32_t unmatched = UINT32_MAX;

  std::string_view text_;
  std::vector<php_token> tokens_;
  // For each opening bracket token, the index of the token that closes it,
  // or `unmatched`; for every other token, `unmatched`. An argument list is
  // thus read in one step over its own tokens, however many lists a file
  // leaves open.
  std::vector<std::uint32_t> closer_;
};

}  // namespace corvexa
