// The places where a query compares a column with text. MySQL's default
// collations compare text without regard to case, PostgreSQL's text does
// not: where no schema says which columns become citext, each such
// comparison is worth a look. Read from the parse tree of SELECT, INSERT,
// UPDATE and DELETE statements (never DDL): `=`, `<>` (and `!=`), LIKE and
// NOT LIKE (with or without ESCAPE) with the column on either side, and IN
// or NOT IN of a list that holds text. A constant made only of digits,
// '-', ':', '.' and spaces is a number or a date, not text; NULL, numbers
// and other columns are not text either; ILIKE ignores case already. A
// double-quoted name standing alone is a MySQL string (parse_tree_checks.h),
// and so it is text here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sql/parse_tree_node.h"

namespace corvexa::sql {

struct text_comparison {
  std::string column;                   // its name: the last part of a qualified one
  std::uint64_t location = 0, end = 0;  // the column's bytes, in the parsed text
};

std::vector<text_comparison> find_text_comparisons(std::string_view sql,
                                                   const parse_tree::node& tree);

}  // namespace corvexa::sql
