// The values MySQL literals stand for, and how PostgreSQL is given them.
// Strings become standard-conforming '...' literals (a quote doubled, every
// other byte as it is: no E'' needed, since backslash escapes are undone
// here), binary values become bytea '\x..' literals, bit and hex numbers
// become decimal numbers. The raw token texts are those of mysql_lexer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "schema/text_encoding.h"

namespace corvexa::schema {

// The byte that MySQL reads for backslash + `c`; `keeps_backslash` for the
// two escapes that keep their backslash (\% and \_, for LIKE patterns).
inline char escaped_byte(char c, bool& keeps_backslash) {
  keeps_backslash = false;
  switch (c) {
    case '0': return '\0';
    case 'b': return '\b';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'Z': return '\x1A';
    case '%':
    case '_': keeps_backslash = true; return c;
    default: return c;
  }
}

// The bytes of a string token ('...', "..." or N'...'): quotes removed,
// doubled quotes and (with `backslash_escapes`) MySQL's escapes undone.
void decode_string(std::string_view raw, bool backslash_escapes, std::string& bytes);

// Appends the body of a '...' string (between its quotes) as the body of a
// PostgreSQL literal: escapes undone, quotes doubled, the text in the
// output encoding. One pass, a run of plain bytes at a time.
void append_string_body(std::string& out, std::string_view body, bool backslash_escapes,
                        text_handling handling, text_problems& problems);

// Appends the '...' string that starts `text` (at its quote) as a
// PostgreSQL literal, in one pass that finds its end too. Returns the
// length of the MySQL string, or 0 when `text` ends before the string
// does (what was appended is then to be dropped).
std::size_t append_quoted_string(std::string& out, std::string_view text, bool backslash_escapes,
                                 text_handling handling, text_problems& problems);

// The text between a string token's quotes (after an N prefix).
std::string_view string_body(std::string_view raw);

// The name a `name` or "name" token stands for (doubled quotes undone).
std::string decode_quoted_name(std::string_view raw);

// The bytes of a hex token (0x1F or X'1F'); an odd digit count reads as if
// a 0 led it.
void decode_hex(std::string_view raw, std::string& bytes);

// The digits of a bit token (0b101 or B'101').
std::string_view bit_digits(std::string_view raw);

// The unsigned number that `bytes` (big-endian) or binary `digits` make;
// false when it takes more than 64 bits.
bool bytes_value(std::string_view bytes, std::uint64_t& value);
bool bit_value(std::string_view digits, std::uint64_t& value);

// Appends `bytes` as a bytea literal: '\x0a1b'.
void append_bytea_literal(std::string& out, std::string_view bytes);

// Appends a hex token (0x1F or X'1F') as a bytea literal, from its digits.
void append_hex_as_bytea(std::string& out, std::string_view raw);

// True for a date or date-time text that PostgreSQL refuses but MySQL
// stores: '0000-00-00', '0000-00-00 00:00:00', or any date with a zero
// year, month or day ('2010-00-00'). Every date value of a dump is asked:
// most have no zero field, which three comparisons tell inline before
// has_zero_date_field reads the fields.
bool has_zero_date_field(std::string_view text);
inline bool is_zero_date(std::string_view text) {
  return text.size() >= 10 &&
         (text.substr(0, 4) == "0000" || text.substr(5, 2) == "00" || text.substr(8, 2) == "00") &&
         has_zero_date_field(text);
}

// False for a TIME text that PostgreSQL's time cannot hold: negative, of
// 24 hours or more, or with days ('-01:00:00', '100:00:00', '2 10:00').
bool fits_time(std::string_view text);

}  // namespace corvexa::schema
