// A PHP value quoted as the whole constant for a number column,
// `INSERT INTO t (n) VALUES ('$x')`: MySQL (without strict mode) stores 0
// for '' or a word and the number a string starts with, where PostgreSQL
// refuses the statement. PHP's intval() (floatval() for numeric, real and
// double columns) gives the number MySQL stored, so the value is converted
// in the PHP code that puts it into the query:
//
//   "... VALUES ('$x')"          ->  "... VALUES ('" . intval($x) . "')"
//   "... = '{$a['k']}'"          ->  "... = '" . intval($a['k']) . "'"
//   '... = \'' . $x . '\''       ->  '... = \'' . intval($x) . '\''
//   sprintf("... '%s'", $x)      ->  sprintf("... '%s'", intval($x))
//
// A value that cannot be converted there for certain (in a heredoc, a
// variable variable, a sprintf whose arguments are spread) is reported.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sql/placeholder_fill.h"
#include "sql/query_checks.h"
#include "sql/query_text.h"
#include "sql/schema_checks.h"
#include "sql/sql_edits.h"

namespace corvexa::sql {

struct numeric_value {
  std::size_t placeholder = 0;  // the value quoted as the whole constant
  std::string_view conversion;  // "intval" or "floatval"
  std::string message;          // the column, and the fix
  bool convertible = true;      // false: reported only
};

// The PHP function that makes a value the number MySQL stores in a column
// of PostgreSQL type `type`, or empty for a type that is not a number's.
std::string_view numeric_conversion(std::string_view type);

// The constants of `values` (in the parsed text `current`, made from
// `original` by edits) that are one placeholder in quotes, for a column of
// a number type.
std::vector<numeric_value> quoted_numeric_values(const substituted_sql& original,
                                                 const edited_sql& current,
                                                 const std::vector<column_value>& values);

// True when the value of placeholder `p` is a number already: a call of
// intval() or floatval(), an (int) or (float) cast, or a sprintf
// conversion such as %d.
bool converted_already(std::string_view php, const query_text& text, const text_placeholder& p);

// The edits of the PHP text `php` that convert the value of placeholder
// `p` of `text` with `conversion`, or none when that is not certain.
std::optional<std::vector<text_edit>> conversion_edits(std::string_view php, const query_text& text,
                                                       const text_placeholder& p,
                                                       std::string_view conversion);

}  // namespace corvexa::sql
