// MySQL column types and their PostgreSQL counterparts. Every integer type
// maps to one that holds its whole range (unsigned included); tinyint(1)
// stays an integer, since applications compare it with 0 and 1; enum and
// set become varchar with a CHECK of their values; blobs become bytea. The
// PostgreSQL type also decides how values for the column are written.
// Character strings compare as their collation says: MySQL's default
// collations ignore case (for =, LIKE, ORDER BY and unique keys), so such
// columns become citext, their length limit a CHECK; a binary or
// case-sensitive collation keeps them varchar, char or text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/schema_findings.h"

namespace corvexa::schema {

// How a column's text compares, as far as its definition (or a table's
// options) says; what it leaves open the table's default decides.
struct text_comparison {
  std::optional<bool> collate_exact;  // COLLATE x: exact unless x is a *_ci collation
  std::optional<bool> charset_exact;  // CHARACTER SET x alone: exact for binary only
  bool binary = false;                // the BINARY attribute: the character set's _bin

  // Notes COLLATE `name` or CHARACTER SET `name`.
  void collate(std::string_view name);
  void charset(std::string_view name);
  bool exact(bool table_default_exact) const;
};

struct mysql_column_type {
  std::string name;                  // upper case, words joined by one space
  std::vector<std::uint64_t> sizes;  // (M) or (M,D)
  // The values of an ENUM or SET, already written as PostgreSQL literals,
  // and the length of the longest (and of all together) in characters.
  std::vector<std::string> value_literals;
  std::size_t longest_value = 0;
  std::size_t all_values = 0;
  bool is_unsigned = false;
  text_comparison comparison;
};

enum class value_check { none, one_of, set_of, length_at_most };

struct postgres_column_type {
  std::string type;  // such as "integer", "varchar(40)", "numeric(20)"
  value_kind kind = value_kind::text;
  bool can_be_identity = false;
  value_check check = value_check::none;
  std::optional<issue> note;      // what the mapping changed
  bool character_string = false;  // char, varchar or text: compares by collation
  std::uint64_t length = 0;       // of char(n) and varchar(n)
};

// The PostgreSQL type of a MySQL column type. `auto_increment` asks for a
// type that can be an identity column (bigint for BIGINT UNSIGNED).
postgres_column_type map_mysql_type(const mysql_column_type& mysql, bool auto_increment);

// A character string type that compares without case: citext, with a
// CHECK of its length. Other types stay as they are.
void ignore_case(postgres_column_type& type);

// The kind of values a PostgreSQL type (as map_mysql_type writes it) takes.
value_kind kind_of_type(std::string_view postgres_type);

// The CHECK condition of an ENUM, SET or citext column named `column`
// (already spelled for PostgreSQL); empty when the type has none.
std::string value_check_condition(const postgres_column_type& type, const std::string& column,
                                  const std::vector<std::string>& literals);

}  // namespace corvexa::schema
