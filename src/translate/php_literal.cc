// Single-quoted strings know two escapes, "\\" and "\'"; double-quoted
// ones are taken only when they hold none.
#include "translate/php_literal.h"

namespace corvexa {

std::optional<std::string> literal_value(std::string_view written) {
  if (written.size() < 2 || written.front() != written.back()) return std::nullopt;
  char quote = written.front();
  std::string_view body = written.substr(1, written.size() - 2);
  if (quote == '"') {
    if (body.find_first_of("$\\\"") != std::string_view::npos) return std::nullopt;
    return std::string(body);
  }
  if (quote != '\'') return std::nullopt;
  std::string value;
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '\'') return std::nullopt;  // the literal ended before its last byte
    if (c == '\\' && i + 1 < body.size() && (body[i + 1] == '\\' || body[i + 1] == '\'')) {
      c = body[++i];
    } else if (c == '\\' && i + 1 == body.size()) {
      return std::nullopt;  // the last quote is escaped: the literal goes on
    }
    value += c;
  }
  return value;
}

std::string in_double_quotes(std::string_view value) {
  std::string body;
  for (char c : value) {
    if (c == '\\' || c == '"' || c == '$') body += '\\';
    body += c;
  }
  return body;
}

}  // namespace corvexa
