// Writing what a statement holds for PostgreSQL: a single literal for a
// column of known kind (a default, a value of an INSERT row), or any run of
// tokens as an expression, token by token (names respelled, strings as
// standard literals, MySQL's || and && as OR and AND, the MySQL date
// functions that PostgreSQL spells otherwise).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/mysql_lexer.h"

namespace corvexa::schema {

enum class literal_result {
  written,
  zero_date,      // a date PostgreSQL refuses: the caller writes NULL instead
  not_a_literal,  // not a single literal: written by append_expression
};

// Appends the one-token literal `t` for a column of `kind`; `binary` is set
// for a string after the _binary introducer.
literal_result append_literal(std::string& out, conversion_context& cx, const token& t,
                              value_kind kind, bool binary = false);

// What writing an expression met.
struct expression_problems {
  bool broken = false;  // a control byte or an unterminated token: cannot be written
  std::uint64_t broken_at = 0;
  bool variable = false;  // a MySQL @variable
  std::uint64_t variable_at = 0;
  std::string variable_name;
};

// Columns that a bare name in an expression stands for and that must be
// written qualified (`table.column`): in ON CONFLICT DO UPDATE a bare name
// could be the table's or EXCLUDED's.
struct qualified_columns {
  std::string table;                 // spelled for PostgreSQL
  std::vector<std::string> columns;  // lower case
};

// Appends tokens [begin, end) as PostgreSQL text, separated as they were
// separated in the input. Literals are written for `kind`; a zero date
// becomes NULL, or stays as written with `zero_dates_as_written` (for the
// query rewrites, which know what it is compared with).
void append_expression(std::string& out, conversion_context& cx, const std::vector<token>& tokens,
                       std::size_t begin, std::size_t end, expression_problems& problems,
                       value_kind kind = value_kind::unknown,
                       const qualified_columns* qualify = nullptr,
                       bool zero_dates_as_written = false);

// True for an introducer word that gives the next string's character set
// (_binary, _utf8mb4, _latin1, ...); `binary` tells which.
bool is_charset_introducer(std::string_view word, bool& binary);

}  // namespace corvexa::schema
