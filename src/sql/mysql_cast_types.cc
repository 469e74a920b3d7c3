// The table. CHAR is a text of any length on MySQL and char(1) on
// PostgreSQL; CHAR(n) a text cut to n characters, where PostgreSQL's
// char(n) pads it with spaces; DECIMAL alone is DECIMAL(10, 0) on MySQL,
// DATETIME alone whole seconds; SIGNED, UNSIGNED, DATETIME, BINARY, DOUBLE
// and YEAR are no PostgreSQL types (BINARY is mostly a comparison byte for
// byte, which text gives).
#include "sql/mysql_cast_types.h"

#include "common/ascii.h"

namespace corvexa::sql {
namespace {

constexpr std::string_view whole_text =
    "is the whole text on MySQL, its first character on PostgreSQL (char is char(1)): write text";
constexpr std::string_view cut_text =
    "cuts the text on MySQL, and pads it with spaces on PostgreSQL: write varchar(n)";
constexpr std::string_view integer =
    "is MySQL's 64-bit integer, which takes the number a text starts with (0 for none) and "
    "wraps negative numbers for UNSIGNED, where PostgreSQL refuses the text: write bigint "
    "where the value is always a number";
constexpr std::string_view rounded =
    "rounds to an integer on MySQL (DECIMAL is DECIMAL(10, 0)), not on PostgreSQL: write "
    "numeric(10, 0)";
constexpr std::string_view timestamp =
    "is MySQL's, in whole seconds unless a precision is given: write timestamp(0)";

constexpr std::string_view bytes =
    "is a byte string on MySQL, compared byte for byte; PostgreSQL has no type binary: write text "
    "(a citext value then compares with regard to case)";
constexpr std::string_view padded_bytes =
    "is n bytes on MySQL, cut or padded with zero bytes: write text, and substr(x, 1, n) to cut";
constexpr std::string_view floating =
    "is MySQL's double, which takes the number a text starts with (0 for none), where PostgreSQL "
    "refuses the text: write double precision where the value is always a number";
constexpr std::string_view year =
    "is MySQL's: write EXTRACT(YEAR FROM x)::int for a date, x::int for a number";

constexpr mysql_cast_type cast_types[] = {
    {"char", false, "text", whole_text},
    {"character", false, "text", whole_text},
    {"nchar", false, "text", whole_text},
    {"char", true, "varchar", cut_text},
    {"character", true, "varchar", cut_text},
    {"nchar", true, "varchar", cut_text},
    // Reported only: exact for numbers, not for the texts MySQL reads a
    // number out of.
    {"signed", false, "", integer},
    {"unsigned", false, "", integer},
    {"decimal", false, "numeric(10, 0)", rounded},
    {"dec", false, "numeric(10, 0)", rounded},
    {"datetime", false, "timestamp(0)", timestamp},
    {"datetime", true, "timestamp", timestamp},
    {"binary", false, "text", bytes},
    {"binary", true, "", padded_bytes},
    {"double", false, "", floating},
    {"year", false, "", year},
};

}  // namespace

const mysql_cast_type* find_mysql_cast_type(std::string_view word, bool with_length) {
  for (const mysql_cast_type& row : cast_types) {
    if (row.with_length == with_length && equal_ignoring_ascii_case(word, row.mysql)) return &row;
  }
  return nullptr;
}

}  // namespace corvexa::sql
