// GROUP_CONCAT with its MySQL clauses, as PostgreSQL's string_agg:
//
//   GROUP_CONCAT([DISTINCT] x [ORDER BY k] [SEPARATOR 's'])
//     -> string_agg([DISTINCT] (x)::text, 's' [ORDER BY k])
//   GROUP_CONCAT(DISTINCT x ORDER BY x [DESC] [SEPARATOR 's'])
//     -> array_to_string(NULLIF(array_agg(DISTINCT x ORDER BY x [DESC]), '{NULL}'), 's')
//
// SEPARATOR is a syntax error on PostgreSQL, so the rewrite serves a text
// that does not parse as well as the tree of one that does. The separator
// is ',' when none is given, as MySQL's.
#pragma once

#include <cstddef>
#include <vector>

#include "sql/sql_edits.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

// The edits of the GROUP_CONCAT call whose name is token `name`, or none
// where the call is not of that form: several values, a separator that is
// not one plain string, or DISTINCT with ORDER BY another expression than
// the value (PostgreSQL sorts distinct values only by what it aggregates).
std::vector<sql_edit> group_concat_edits(const sql_token_view& t, std::size_t name);

}  // namespace corvexa::sql
