// The character sets of a MySQL dump, and how their text reaches
// PostgreSQL. The converter writes UTF-8: a utf8 dump is checked (bytes
// that are not UTF-8 are read as latin1 and reported), a latin1 dump is
// transcoded with MySQL's latin1, which is Windows-1252 and not ISO 8859-1.
// Other single-byte and EUC sets go through unchanged under a
// `SET client_encoding` naming them, so PostgreSQL converts them itself.
// Zero bytes, which no PostgreSQL text can hold, are always removed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvexa::schema {

enum class text_handling {
  utf8,         // checked; invalid bytes read as latin1
  latin1,       // transcoded to UTF-8
  passthrough,  // copied; PostgreSQL is told the encoding
};

struct charset_info {
  std::string_view mysql_name;
  text_handling handling;
  std::string_view postgres_encoding;  // for `SET client_encoding`
  // A multi-byte set whose second bytes can be '\\' or '\'' (Shift-JIS,
  // GBK, Big5): the MySQL lexer here does not know its characters.
  bool bytes_can_hide_quotes = false;
};

// The character set that `SET NAMES name` selects (any letter case, with or
// without quotes removed by the caller), or null when it is not known.
const charset_info* find_charset(std::string_view mysql_name);

// The set a dump is read with when it names none.
const charset_info& utf8_charset();

// What appending text found, kept from the first offset seen.
struct text_problems {
  bool invalid_utf8 = false;
  bool zero_byte = false;
};

// Appends `bytes` to `out` as text in the output encoding: UTF-8 (from
// utf8 or latin1) or unchanged (passthrough). Zero bytes are dropped. With
// `quote` set, each such byte is doubled, as inside a SQL string literal.
void append_text(std::string& out, std::string_view bytes, text_handling handling,
                 text_problems& problems, char quote = 0);

// Appends `bytes`, which hold no zero byte and nothing to double, as text
// in the output encoding: the part of append_text between its stops.
void append_plain_text(std::string& out, std::string_view bytes, text_handling handling,
                       text_problems& problems);

// The length of the valid UTF-8 character at the start of `s` (whose first
// byte is 0x80 or above), or 0 when it is not one.
inline std::size_t utf8_character_length(const unsigned char* s, std::size_t left) {
  unsigned char lead = s[0];
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (left < length || s[1] < low || s[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

// The length of the prefix of [p, p + n) that a '...' literal in the
// output encoding holds unchanged: no zero byte, no '\\', no '\'', and
// beyond ASCII only whole valid UTF-8 characters (utf8), nothing (latin1)
// or anything (passthrough). Found in one pass, so that the bytes that
// stop it are the only ones looked at one by one.
std::size_t unchanged_text_run(const char* p, std::size_t n, text_handling handling);

// The number of characters of `utf8` (bytes that do not start a character
// are not counted).
std::size_t character_count(std::string_view utf8);

}  // namespace corvexa::schema
