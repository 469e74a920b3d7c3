// Names the MySQL construct that made PostgreSQL reject a query text, with
// what to write instead, for the constructs MySQL code is known to use:
// backquoted names, LIMIT a, b, UPDATE/DELETE ... LIMIT, INTERVAL 1 DAY,
// REGEXP, INSERT ... SET, INSERT IGNORE, REPLACE, ON DUPLICATE KEY UPDATE,
// SHOW, OPTIMIZE, backslash escapes in strings, "#" comments, a reserved
// word as a name.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "sql/sql_parser.h"

namespace corvexa::sql {

struct syntax_hint {
  std::string_view construct;
  std::string_view fix;
};

// The construct most likely to blame for the error at `error_offset` of
// `sql`, whose scanner tokens are `tokens` (empty if the scanner failed),
// or null if none is known.
const syntax_hint* mysql_construct_at(std::string_view sql, const std::vector<sql_token>& tokens,
                                      std::uint64_t error_offset, std::string_view message);

// True for the words MySQL takes after SELECT (and DISTINCT) as hints that
// leave the result as it is, such as SQL_NO_CACHE and SQL_CALC_FOUND_ROWS:
// PostgreSQL rejects them, or reads the first as a column that the next
// name aliases.
bool is_select_modifier(std::string_view lower_word);

}  // namespace corvexa::sql
