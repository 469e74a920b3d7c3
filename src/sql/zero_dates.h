// MySQL's zero date ('0000-00-00') has no PostgreSQL counterpart. The
// converted rows hold NULL for it, or '-infinity' in a NOT NULL column
// (which stands below every date, as the zero date did); the queries'
// rewrites give and compare the same value, so both come from here.
#pragma once

#include <string_view>

namespace corvexa::sql {

// The PostgreSQL value written for a zero date in a column that is NOT
// NULL or not.
constexpr std::string_view zero_date_stand_in(bool not_null) {
  return not_null ? "'-infinity'" : "NULL";
}

// True if `value` (a string constant's text) is MySQL's zero date, with or
// without its time.
constexpr bool is_zero_date(std::string_view value) {
  return value == "0000-00-00" || value == "0000-00-00 00:00:00";
}

}  // namespace corvexa::sql
