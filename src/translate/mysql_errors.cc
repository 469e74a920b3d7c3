// The rows, and the match arms built from them.
#include "translate/mysql_errors.h"

namespace corvexa {
namespace {

constexpr mysql_error_row rows[] = {
    {"1062", "23505", "unique_violation"},
    {"1586", "23505", "unique_violation", false},
    {"1452", "23503", "foreign_key_violation"},
    {"1451", "23503", "foreign_key_violation", false},
    {"1216", "23503", "foreign_key_violation", false},
    {"1217", "23503", "foreign_key_violation", false},
    {"1048", "23502", "not_null_violation"},
    {"1364", "23502", "not_null_violation", false},
    {"1146", "42P01", "undefined_table"},
    {"1054", "42703", "undefined_column"},
    {"1064", "42601", "syntax_error"},
    {"1213", "40P01", "deadlock_detected"},
    {"1205", "55P03", "lock_not_available"},
    {"1406", "22001", "string_data_right_truncation"},
    {"1264", "22003", "numeric_value_out_of_range"},
};

}  // namespace

std::span<const mysql_error_row> mysql_errors() { return rows; }

const mysql_error_row* mysql_error_of(std::string_view number) {
  for (const mysql_error_row& row : rows) {
    if (row.number == number) return &row;
  }
  return nullptr;
}

std::string_view kept_number_for(std::string_view sqlstate) {
  for (const mysql_error_row& row : rows) {
    if (row.kept && row.sqlstate == sqlstate) return row.number;
  }
  return {};
}

std::string errno_match_arms() {
  std::string arms = "{ '' => 0";
  for (const mysql_error_row& row : rows) {
    if (!row.kept) continue;
    arms.append(", '").append(row.sqlstate).append("' => ").append(row.number);
  }
  return arms.append(", default => 1 }");
}

}  // namespace corvexa
