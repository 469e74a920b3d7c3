// The lexer hands out the string constants of code whole, quotes included:
// a zero date needs no escape, so its text is the bytes between them.
#include "tree/zero_date_pass.h"

#include "scan/php_lexer.h"
#include "sql/zero_dates.h"

namespace corvexa {

std::vector<std::uint64_t> zero_dates_in_code(std::string_view php) {
  std::vector<std::uint64_t> found;
  if (php.find("0000-00-00") == std::string_view::npos) return found;
  for (const php_token& token : php_tokens(php)) {
    if (token.kind != php_token_kind::string || token.length < 2) continue;
    char quote = php[token.offset];
    if ((quote != '\'' && quote != '"') || php[token.offset + token.length - 1] != quote) continue;
    if (sql::is_zero_date(php.substr(token.offset + 1, token.length - 2)))
      found.push_back(token.offset);
  }
  return found;
}

}  // namespace corvexa
