// A lexer that reads a file the way PHP itself does, to tell code from
// text: what lies outside PHP tags, strings (quoted, backquoted, heredoc
// and nowdoc) and comments ("//", "#" and "/* */", a line comment ending at
// "?>" too; "#[" opens an attribute of PHP 8, which is code) are not code.
// It hands out the tokens of code only, which is what the checks of a
// converted file need; it is not the converter's tokenizer, which by design
// treats "#" comments and heredocs as code.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvexa {

enum class php_token_kind {
  open_tag,       // "<?php" or "<?": a statement may follow
  open_echo_tag,  // "<?=": an expression follows
  close_tag,      // "?>"
  word,           // a name: keyword, function, constant
  variable,       // "$name"
  number,
  string,  // a quoted, backquoted, heredoc or nowdoc string
  symbol,  // punctuation, one byte, or "::"
};

struct php_token {
  php_token_kind kind;
  std::uint64_t offset;
  std::uint64_t length;
};

// Every token of code in `text`, in order.
std::vector<php_token> php_tokens(std::string_view text);

}  // namespace corvexa
