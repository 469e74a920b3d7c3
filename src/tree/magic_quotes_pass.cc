// Works on the tokens of code that the PHP lexer hands out, so that a name
// in a string, a comment or the text outside PHP tags is never touched.
#include "tree/magic_quotes_pass.h"

#include "common/ascii.h"
#include "scan/php_lexer.h"

namespace corvexa {
namespace {

class call_finder {
 public:
  explicit call_finder(std::string_view php) : php_(php), tokens_(php_tokens(php)) {}

  std::vector<sql::text_edit> run() const {
    std::vector<sql::text_edit> edits;
    for (std::size_t i = 0; i + 2 < tokens_.size(); ++i) {
      if (!names_removed_function(i) || !is_symbol(i + 1, '(') || !is_symbol(i + 2, ')') ||
          !called_as_function(i))
        continue;
      std::uint64_t end = tokens_[i + 2].offset + tokens_[i + 2].length;
      edits.push_back(sql::text_edit{tokens_[i].offset, end - tokens_[i].offset, "false"});
    }
    return edits;
  }

 private:
  std::string_view text(std::size_t i) const {
    return php_.substr(tokens_[i].offset, tokens_[i].length);
  }

  bool is_symbol(std::size_t i, char c) const {
    return tokens_[i].kind == php_token_kind::symbol && text(i).size() == 1 && text(i)[0] == c;
  }

  bool is_word(std::size_t i, std::string_view lower) const {
    return tokens_[i].kind == php_token_kind::word && equal_ignoring_ascii_case(text(i), lower);
  }

  bool names_removed_function(std::size_t i) const {
    return is_word(i, "get_magic_quotes_gpc") || is_word(i, "get_magic_quotes_runtime");
  }

  // Not a method ("->", "?->", "::"), a class ("new") or a declaration
  // ("function", "function &"), which a compatibility shim may be.
  bool called_as_function(std::size_t i) const {
    if (i == 0) return true;
    std::size_t before = i - 1;
    if (is_symbol(before, '&') && before > 0) --before;
    if (is_word(before, "function")) return false;
    if (before != i - 1) return true;
    return !is_symbol(before, '>') && text(before) != "::" && !is_word(before, "new");
  }

  std::string_view php_;
  std::vector<php_token> tokens_;
};

}  // namespace

std::vector<sql::text_edit> magic_quotes_edits(std::string_view php) {
  return call_finder(php).run();
}

}  // namespace corvexa
