// MySQL's DATE_FORMAT codes and the to_char pattern that prints the same,
// one row a code. A format whose every code has an exact pattern becomes a
// to_char format: its other text is double-quoted (letters are patterns
// for to_char) and codes that would run into one longer pattern are kept
// apart.
#pragma once

#include <string>
#include <string_view>

namespace corvexa::sql {

struct to_char_format {
  bool exact = false;
  std::string format;  // when exact: the to_char pattern
  std::string reason;  // otherwise: why there is none
};

// The to_char pattern for MySQL format `mysql_format` (the string's value).
to_char_format to_char_of_date_format(std::string_view mysql_format);

}  // namespace corvexa::sql
