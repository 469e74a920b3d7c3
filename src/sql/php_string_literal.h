// PHP's string literals, both ways: reading one into a query text (escape
// sequences decoded, interpolated variables as placeholders, a heredoc's
// indentation removed) and writing bytes so that a literal of a given kind
// holds them (the replacement of a rewrite).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sql/query_text.h"

namespace corvexa::sql {

// Reads the literal that the lexer's string token [begin, end) of `file`
// spells ('...', "...", a heredoc or a nowdoc) into `out`. False when it is
// not a complete literal (unterminated, a backquoted shell command) or the
// text grew past the builder's limit.
bool read_php_string(std::string_view file, std::uint64_t begin, std::uint64_t end,
                     query_text_builder& out);

// `bytes` escaped so that a literal of `style` holds exactly them.
std::string escape_for_literal(std::string_view bytes, literal_style style);

// True if `c` may continue a variable name that PHP interpolates, so that
// writing it right after "$name" in a double-quoted literal would change
// the name.
bool continues_interpolation(char c);

}  // namespace corvexa::sql
