// Works on the tokens of code that the PHP lexer hands out, so that a name
// in a string, a comment or the text outside PHP tags is never touched.
#include "tree/magic_quotes_pass.h"

#include "sql/php_code.h"

namespace corvexa {
namespace {

using sql::php_code;

bool names_removed_function(const php_code& code, std::size_t i) {
  return code.is_word(i, "get_magic_quotes_gpc") || code.is_word(i, "get_magic_quotes_runtime");
}

// Not a method ("->", "?->", "::"), a class ("new") or a declaration
// ("function", "function &"), which a compatibility shim may be.
bool called_as_function(const php_code& code, std::size_t i) {
  if (i == 0) return true;
  std::size_t before = i - 1;
  if (code.is_symbol(before, '&') && before > 0) --before;
  if (code.is_word(before, "function")) return false;
  if (before != i - 1) return true;
  return !code.is_symbol(before, '>') && code.token_text(before) != "::" &&
         !code.is_word(before, "new");
}

}  // namespace

std::vector<sql::text_edit> magic_quotes_edits(std::string_view php) {
  php_code code(php);
  std::vector<sql::text_edit> edits;
  for (std::size_t i = 0; i + 2 < code.tokens.size(); ++i) {
    if (!names_removed_function(code, i) || !code.is_symbol(i + 1, '(') ||
        !code.is_symbol(i + 2, ')') || !called_as_function(code, i))
      continue;
    std::uint64_t begin = code.tokens[i].offset;
    edits.push_back(sql::text_edit{begin, code.end_of(i + 2) - begin, "false"});
  }
  return edits;
}

}  // namespace corvexa
