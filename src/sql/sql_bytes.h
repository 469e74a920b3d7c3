// The bytes of SQL text as the checks read words in it: the white space
// between words, and the bytes an unquoted name is made of (ASCII letters,
// digits, "_", and every byte of a multibyte character).
#pragma once

namespace corvexa::sql {

constexpr bool is_sql_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

constexpr bool is_sql_word_byte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace corvexa::sql
