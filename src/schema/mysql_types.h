// MySQL column types and their PostgreSQL counterparts. Every integer type
// maps to one that holds its whole range (unsigned included); tinyint(1)
// stays an integer, since applications compare it with 0 and 1; enum and
// set become varchar with a CHECK of their values; blobs become bytea. The
// PostgreSQL type also decides how values for the column are written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/schema_findings.h"

namespace corvexa::schema {

struct mysql_column_type {
  std::string name;                  // upper case, words joined by one space
  std::vector<std::uint64_t> sizes;  // (M) or (M,D)
  // The values of an ENUM or SET, already written as PostgreSQL literals,
  // and the length of the longest (and of all together) in characters.
  std::vector<std::string> value_literals;
  std::size_t longest_value = 0;
  std::size_t all_values = 0;
  bool is_unsigned = false;
};

enum class value_check { none, one_of, set_of };

struct postgres_column_type {
  std::string type;  // such as "integer", "varchar(40)", "numeric(20)"
  value_kind kind = value_kind::text;
  bool can_be_identity = false;
  value_check check = value_check::none;
  std::optional<issue> note;  // what the mapping changed
};

// The PostgreSQL type of a MySQL column type. `auto_increment` asks for a
// type that can be an identity column (bigint for BIGINT UNSIGNED).
postgres_column_type map_mysql_type(const mysql_column_type& mysql, bool auto_increment);

// The kind of values a PostgreSQL type (as map_mysql_type writes it) takes.
value_kind kind_of_type(std::string_view postgres_type);

// The CHECK condition of an ENUM or SET column named `column` (already
// spelled for PostgreSQL).
std::string value_check_condition(value_check check, const std::string& column,
                                  const std::vector<std::string>& literals);

}  // namespace corvexa::schema
