// MySQL's functions that PostgreSQL has not, or has with another meaning:
// one row each, with what to write instead and, where an exact equivalent
// exists, how the call is rewritten.
#pragma once

#include <string_view>

namespace corvexa::sql {

enum class function_rewrite : unsigned char {
  none,            // reported only
  rename,          // the same arguments under another name: `target`
  if_to_case,      // IF(c, a, b) -> CASE WHEN c THEN a ELSE b END
  unix_timestamp,  // UNIX_TIMESTAMP([x]) -> floor(EXTRACT(EPOCH FROM (x)::timestamptz))::bigint
  from_unixtime,   // FROM_UNIXTIME(x) -> to_timestamp(x)::timestamp; with a format, as DATE_FORMAT
  keyword,         // F() -> `target`, a keyword such as CURRENT_DATE
  locate,          // LOCATE(a, b) -> position(a IN b)
  group_concat,    // GROUP_CONCAT(x) -> string_agg((x)::text, ',')
  extract_field,   // YEAR(x) -> EXTRACT(`target` FROM x)
  sha1,            // SHA1(x) -> encode(digest(x, 'sha1'), 'hex'), with pgcrypto
  interval_sum,    // DATE_ADD(x, INTERVAL ...) -> (x `target` INTERVAL ...)
  arguments_in,    // the arguments in order in `target`'s $1, $2, ...
  concat,          // CONCAT(a, b) -> ((a)::text || (b)::text): NULL if one is NULL
  date_format,     // DATE_FORMAT(x, 'format') -> to_char((x)::timestamp, 'pattern')
  field,           // FIELD(x, a, b) -> CASE (x) WHEN a THEN 1 WHEN b THEN 2 ELSE 0 END
  timestampdiff,   // TIMESTAMPDIFF(SECOND to WEEK, a, b) -> whole units of seconds between
};

struct mysql_function {
  std::string_view name;    // lower case
  std::string_view advice;  // follows "NAME() "
  function_rewrite rewrite;
  std::string_view target;
  int arguments;                    // the count the rewrite takes; -1: 0 or 1; -2: one or more
  std::string_view extension = "";  // the one the rewrite calls into, such as pgcrypto
  // Reported only when called with one argument (LOG(b, x) means the same
  // on both).
  bool only_with_one_argument = false;
};

// The row for function `lower_name`, or null.
const mysql_function* find_mysql_function(std::string_view lower_name);

}  // namespace corvexa::sql
