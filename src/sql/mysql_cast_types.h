// The types of MySQL's CAST(x AS type) that PostgreSQL reads otherwise or
// not at all, with the PostgreSQL type that gives MySQL's result.
#pragma once

#include <string_view>

namespace corvexa::sql {

struct mysql_cast_type {
  std::string_view mysql;     // the type's word, lower case
  bool with_length;           // followed by "(...)"
  std::string_view postgres;  // written in place of the word; empty: reported only
  std::string_view advice;    // follows "CAST(x AS TYPE) "
};

// The row for the type word `word` (any case), with or without a length
// after it, or null.
const mysql_cast_type* find_mysql_cast_type(std::string_view word, bool with_length);

}  // namespace corvexa::sql
