// The string values of a utf8 dump written as PostgreSQL literals in one
// pass that copies, looks for the closing quote and checks the UTF-8 at
// once, 16 bytes at a time. Only what most dump strings hold is done here:
// text with MySQL's backslash escapes and doubled quotes. A string with
// anything append_quoted_string would report (a zero byte, bytes that are
// not UTF-8) is left to it.
#pragma once

#include "schema/row_buffer.h"

namespace corvexa::schema {

// Appends the '...' string at `p` (at its quote), read with backslash
// escapes from utf8 text, as a PostgreSQL literal, and returns the end of
// the MySQL string. Returns null, with `out` as it was, when [p, end) ends
// first or the string needs append_quoted_string; where it does not, the
// two write the same bytes. Reads no byte outside [p, end).
const char* copy_utf8_literal(row_buffer& out, const char* p, const char* end);

}  // namespace corvexa::schema
