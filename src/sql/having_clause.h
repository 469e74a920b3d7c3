// What MySQL's HAVING takes and PostgreSQL's refuses:
//
//   SELECT COUNT(*) AS n ... GROUP BY a HAVING n > 1
//     MySQL reads the select list's n; PostgreSQL knows only the columns
//     of the tables: n becomes (COUNT(*)), unless a column n is grouped
//     (which MySQL then prefers too).
//   SELECT a FROM t WHERE c HAVING a < 5
//     without GROUP BY or an aggregate, MySQL filters the rows as WHERE
//     does; PostgreSQL makes the query one group and refuses a: the
//     condition joins the WHERE clause, WHERE (c) AND (a < 5).
#pragma once

#include <vector>

#include "sql/parse_tree_checks.h"
#include "sql/parse_tree_json.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

// The issues of the HAVING clause of `select` (a SelectStmt's body, in the
// text `tokens` was scanned from), with their rewrites when `tokens` is given.
std::vector<tree_issue> having_issues(const parse_tree::json& select, const sql_token_view* tokens);

}  // namespace corvexa::sql
