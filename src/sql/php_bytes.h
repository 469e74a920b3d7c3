// The bytes of PHP source as PHP reads them: where a name (of a variable
// after its "$", a function or a constant) begins and goes on, and the
// whitespace between tokens.
#pragma once

namespace corvexa::sql {

constexpr bool starts_php_name(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

constexpr bool continues_php_name(char c) { return starts_php_name(c) || (c >= '0' && c <= '9'); }

constexpr bool is_php_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace corvexa::sql
