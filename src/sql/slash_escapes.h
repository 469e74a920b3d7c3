// addslashes() escapes a value for MySQL's string constants, whose
// backslash escapes PostgreSQL's do not read: "... = '" . addslashes($s)
// . "'" ends the constant at the backslash of It\'s. Where a query text
// quotes an addslashes() call whole, the call becomes pg_escape_string() on
// the connection the converted code keeps, which doubles the quotes
// instead; MySQL stored the same value.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "sql/query_checks.h"
#include "sql/query_text.h"

namespace corvexa::sql {

// True if PHP expression [begin, end) of `php` is one addslashes() call.
bool is_addslashes_call(std::string_view php, std::uint64_t begin, std::uint64_t end);

// True if byte `offset` of the MySQL text `sql` lies in a single-quoted
// string constant.
bool in_string_constant(std::string_view sql, std::uint64_t offset);

// The edit of `php` that makes placeholder `p` of `text` escaped for
// PostgreSQL, or none when it is no addslashes() call in a string constant.
std::optional<text_edit> addslashes_edit(std::string_view php, const query_text& text,
                                         const text_placeholder& p);

}  // namespace corvexa::sql
