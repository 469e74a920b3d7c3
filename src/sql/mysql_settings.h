// The session variables MySQL applications SET that PostgreSQL has not (a
// SET of one fails with "unrecognized configuration parameter"), each with
// what to write instead.
#pragma once

#include <string_view>

namespace corvexa::sql {

struct mysql_setting {
  std::string_view name;    // lower case, as PostgreSQL's parser gives it
  std::string_view advice;  // follows "SET NAME "
};

// The row for the variable `lower_name`, or null.
const mysql_setting* find_mysql_setting(std::string_view lower_name);

}  // namespace corvexa::sql
