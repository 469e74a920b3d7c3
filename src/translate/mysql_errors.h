// MySQL's error numbers that legacy code compares mysql_errno() with, and
// the SQLSTATE that PostgreSQL gives for the same failure. The converted
// mysql_errno() reads the SQLSTATE out of the connection's last error
// (whose text carries it, since the converted connect asks for verbose
// errors) and gives back the MySQL number of each row that `kept` marks,
// so that comparisons with those numbers keep their meaning; a SQLSTATE
// that two numbers share is given back as one of them only.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace corvexa {

struct mysql_error_row {
  std::string_view number;    // MySQL's, as PHP code writes it
  std::string_view sqlstate;  // PostgreSQL's
  std::string_view name;      // PostgreSQL's name of the SQLSTATE
  bool kept = true;           // mysql_errno() gives this number back
};

std::span<const mysql_error_row> mysql_errors();

// The row of `number`, or null.
const mysql_error_row* mysql_error_of(std::string_view number);

// The number that mysql_errno() gives back for `sqlstate`, or empty.
std::string_view kept_number_for(std::string_view sqlstate);

// The PHP `match` arms that turn a SQLSTATE (or '' for no error) into
// MySQL's number: "{ '' => 0, '23505' => 1062, ..., default => 1 }".
std::string errno_match_arms();

}  // namespace corvexa
