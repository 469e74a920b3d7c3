// The PHP expression is read by its bytes: a name, "(", and the ")" that
// closes it as the expression's last byte, skipping PHP strings within.
#include "sql/slash_escapes.h"

#include "common/ascii.h"
#include "sql/php_bytes.h"
#include "sql/php_code.h"

namespace corvexa::sql {
namespace {

constexpr std::string_view name = "addslashes";
constexpr std::string_view replacement = "pg_escape_string($GLOBALS['pg_last_link'], ";

// The offset after the ")" that closes the "(" at `open`, or 0.
std::uint64_t after_closing(std::string_view php, std::uint64_t open, std::uint64_t end) {
  std::uint64_t close = closing_bracket(php, open, end, '(', ')', 0);
  return close == std::string_view::npos ? 0 : close + 1;
}

// The offset of the "(" of the call at [begin, end), or 0.
std::uint64_t call_open(std::string_view php, std::uint64_t begin, std::uint64_t end) {
  while (begin < end && is_php_space(php[begin])) ++begin;
  while (end > begin && is_php_space(php[end - 1])) --end;
  if (end - begin <= name.size() ||
      !equal_ignoring_ascii_case(php.substr(begin, name.size()), name))
    return 0;
  std::uint64_t open = begin + name.size();
  while (open < end && is_php_space(php[open])) ++open;
  if (open >= end || php[open] != '(' || after_closing(php, open, end) != end) return 0;
  return open;
}

}  // namespace

bool is_addslashes_call(std::string_view php, std::uint64_t begin, std::uint64_t end) {
  return end <= php.size() && begin < end && call_open(php, begin, end) != 0;
}

bool in_string_constant(std::string_view sql, std::uint64_t offset) {
  char quote = 0;
  for (std::uint64_t i = 0; i < offset && i < sql.size(); ++i) {
    char c = sql[i];
    if (quote == 0) {
      if (c == '\'' || c == '"' || c == '`') quote = c;
    } else if (c == '\\' && quote != '`') {
      ++i;
    } else if (c == quote) {
      quote = 0;  // a doubled quote closes and opens again
    }
  }
  return quote == '\'';
}

std::optional<text_edit> addslashes_edit(std::string_view php, const query_text& text,
                                         const text_placeholder& p) {
  if (!is_addslashes_call(php, p.expression_begin, p.expression_end) ||
      !in_string_constant(text.text, p.text_offset))
    return std::nullopt;
  std::uint64_t begin = p.expression_begin;
  while (is_php_space(php[begin])) ++begin;
  std::uint64_t open = call_open(php, p.expression_begin, p.expression_end);
  return text_edit{begin, open + 1 - begin, std::string(replacement)};
}

}  // namespace corvexa::sql
